#include "LinkPlatform.h"

#include "PortNames.h"
#include "WindowsPorts.h"

#include <QCoreApplication>
#include <QDir>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QSettings>

#include <windows.h>

#include <shellapi.h>

namespace torsa::link {

Platform currentPlatform()
{
    return Platform::Windows;
}

} // namespace torsa::link

namespace torsa::link::platform {

using namespace Qt::StringLiterals;

namespace {

// The FTDI driver's devices; each one's "0000\Device Parameters" holds its
// PortName ("COM7") and LatencyTimer (a DWORD, in ms).
QString ftdiBus()
{
    return u"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\FTDIBUS"_s;
}

// The FTDI device key whose PortName is the port's COM name; empty when none.
QString ftdiDeviceKey(const QString &port)
{
    const QString com = windows::systemPortPath(port).section(u'\\', -1);
    QSettings bus(ftdiBus(), QSettings::NativeFormat);
    const QStringList devices = bus.childGroups();
    for (const QString &device : devices) {
        const QString name = bus.value(device + u"/0000/Device Parameters/PortName"_s).toString();
        if (name.compare(com, Qt::CaseInsensitive) == 0)
            return ftdiBus() + u'\\' + device + u"\\0000\\Device Parameters"_s;
    }
    return {};
}

} // namespace

QString deviceOfPort(const QString &name)
{
    return windows::systemPortPath(name);
}

QString portIdentity(const QString &device)
{
    return windows::systemPortPath(device).toUpper();
}

QString comDevice(int comNumber, const std::optional<QString> &override)
{
    if (!override || override->isEmpty())
        return windows::systemPortPath(u"COM"_s + QString::number(comNumber));
    return windows::systemPortPath(*override);
}

QString comStatusTip(int comNumber)
{
    return windows::comStatusTip(comNumber, link::comDevice(comNumber), windows::listedPorts());
}

QString listedName(const QSerialPortInfo &info)
{
    return info.portName();
}

bool mayWaitForPendingInput()
{
    return false;
}

LowLatencyRequest requestLowLatency(QSerialPort & /*port*/)
{
    // The FTDI driver takes its timer from the registry, not from the program.
    return LowLatencyRequest::NotMade;
}

std::optional<LatencyTimer> latencyTimer(const QString &port)
{
    const QString key = ftdiDeviceKey(port);
    if (key.isEmpty())
        return std::nullopt;
    const QSettings parameters(key, QSettings::NativeFormat);
    bool ok = false;
    const int ms = parameters.value(u"LatencyTimer"_s).toInt(&ok);
    if (!ok)
        return std::nullopt;
    return LatencyTimer{ms, key};
}

LatencyWrite writeLatencyTimer(const QString &port, int ms)
{
    const QString key = ftdiDeviceKey(port);
    if (key.isEmpty())
        return LatencyWrite::NoTimer;
    QSettings parameters(key, QSettings::NativeFormat);
    if (!parameters.isWritable())
        return LatencyWrite::NotPermitted;
    parameters.setValue(u"LatencyTimer"_s, ms); // an int is written as a DWORD
    parameters.sync();
    switch (parameters.status()) {
    case QSettings::NoError: return LatencyWrite::Written;
    case QSettings::AccessError: return LatencyWrite::NotPermitted;
    case QSettings::FormatError: break;
    }
    return LatencyWrite::Failed;
}

bool writeLatencyTimerElevated(const QString &port, int ms)
{
    const QString cli = QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + u"/torsa-cli.exe"_s);
    const QString arguments = u"latency %1 %2"_s.arg(port).arg(ms);
    const auto result =
        reinterpret_cast<INT_PTR>(::ShellExecuteW(nullptr, L"runas", reinterpret_cast<LPCWSTR>(cli.utf16()),
                                                  reinterpret_cast<LPCWSTR>(arguments.utf16()), nullptr, SW_HIDE));
    // ShellExecute's own convention: above 32 is success.
    constexpr INT_PTR kShellExecuteSucceeded = 32;
    return result > kShellExecuteSucceeded;
}

} // namespace torsa::link::platform
