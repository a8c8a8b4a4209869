#include "WindowsPorts.h"

#include "PortNames.h"

#include <QRegularExpression>
#include <QSerialPortInfo>

namespace torsa::link::windows {

using namespace Qt::StringLiterals;

namespace {

constexpr QStringView kDevicePrefix = u"\\\\.\\";

// The COM number of "COM12", "com3" or "\\.\COM3"; 0 for anything else.
int comNumberIn(const QString &port)
{
    static const QRegularExpression pattern(uR"(^(?:\\\\\.\\)?COM([1-9][0-9]*)$)"_s,
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(port);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

} // namespace

QString systemPortPath(const QString &port)
{
    const int number = comNumberIn(port);
    return number > 0 ? kDevicePrefix.toString() + u"COM"_s + QString::number(number) : port;
}

QString comStatusTip(int comNumber, const QString &device, const QList<ListedPort> &listed)
{
    const QString path = systemPortPath(device);
    for (const ListedPort &port : listed) {
        if (systemPortPath(port.name) == path)
            return link::comStatusTip(comNumber, port.description.isEmpty() ? port.name : port.description);
    }
    // Not listed: a device pinned by TORSA_COMn is named, the plain COMn is absent.
    if (path == systemPortPath(u"COM"_s + QString::number(comNumber)))
        return link::comStatusTip(comNumber, QString());
    const int pinned = comNumberIn(device);
    return link::comStatusTip(comNumber, pinned > 0 ? u"COM"_s + QString::number(pinned) : device);
}

QList<ListedPort> listedPorts()
{
    QList<ListedPort> ports;
    const auto available = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : available)
        ports.append({info.portName(), info.description()});
    return ports;
}

} // namespace torsa::link::windows
