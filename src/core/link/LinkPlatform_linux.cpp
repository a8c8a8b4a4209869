#include "LinkPlatform.h"

#include "PortNames.h"

#include <QFile>
#include <QFileInfo>
#include <QSerialPort>
#include <QSerialPortInfo>

#include <linux/serial.h>
#include <sys/ioctl.h>

namespace torsa::link {

Platform currentPlatform()
{
    return Platform::Linux;
}

} // namespace torsa::link

namespace torsa::link::platform {

using namespace Qt::StringLiterals;

namespace {

// Where ftdi_sio keeps the adapter's timer: readable by anyone, writable by root.
QString sysfsTimerPath(const QString &port)
{
    const QString target = QFileInfo(port).canonicalFilePath();
    const QString name = QFileInfo(target.isEmpty() ? port : target).fileName();
    return u"/sys/bus/usb-serial/devices/%1/latency_timer"_s.arg(name);
}

} // namespace

QString deviceOfPort(const QString &name)
{
    return name;
}

QString portIdentity(const QString &device)
{
    const QString target = QFileInfo(device).canonicalFilePath();
    return target.isEmpty() ? device : target;
}

QString comDevice(int comNumber, const std::optional<QString> &override)
{
    QStringList present;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports)
        present.append(info.systemLocation());
    return link::comDevice(comNumber, override, present);
}

QString comStatusTip(int comNumber)
{
    return link::comStatusTip(comNumber, link::comDevice(comNumber));
}

QString listedName(const QSerialPortInfo &info)
{
    return info.systemLocation();
}

bool mayWaitForPendingInput()
{
    return true;
}

LowLatencyRequest requestLowLatency(QSerialPort &port)
{
    const int fd = static_cast<int>(port.handle());
    serial_struct serial{};
    if (fd < 0 || ::ioctl(fd, TIOCGSERIAL, &serial) != 0)
        return LowLatencyRequest::Refused;
    serial.flags |= ASYNC_LOW_LATENCY;
    if (::ioctl(fd, TIOCSSERIAL, &serial) != 0)
        return LowLatencyRequest::Refused;
    // Some drivers accept the call and drop the flag.
    serial_struct now{};
    if (::ioctl(fd, TIOCGSERIAL, &now) != 0 || (now.flags & ASYNC_LOW_LATENCY) == 0)
        return LowLatencyRequest::Refused;
    return LowLatencyRequest::Honoured;
}

std::optional<LatencyTimer> latencyTimer(const QString &port)
{
    QFile file(sysfsTimerPath(port));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    bool ok = false;
    const int ms = file.readAll().trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return LatencyTimer{ms, file.fileName()};
}

LatencyWrite writeLatencyTimer(const QString &port, int ms)
{
    QFile file(sysfsTimerPath(port));
    if (!file.exists())
        return LatencyWrite::NoTimer;
    if (!file.open(QIODevice::WriteOnly))
        return file.error() == QFileDevice::PermissionsError ? LatencyWrite::NotPermitted : LatencyWrite::Failed;
    const QByteArray value = QByteArray::number(ms) + '\n';
    return file.write(value) == value.size() && file.flush() ? LatencyWrite::Written : LatencyWrite::Failed;
}

bool writeLatencyTimerElevated(const QString & /*port*/, int /*ms*/)
{
    return false; // an administrator's udev rule does it on Linux
}

} // namespace torsa::link::platform
