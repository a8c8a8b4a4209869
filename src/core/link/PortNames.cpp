#include "PortNames.h"

#include "LinkPlatform.h"

#include <QFileInfo>
#include <QtGlobal>

#include <algorithm>

namespace torsa::link {

using namespace Qt::StringLiterals;

namespace {

bool isUsbAdapter(const QString &device)
{
    const QString name = QFileInfo(device).fileName();
    return name.startsWith(u"ttyUSB"_s) || name.startsWith(u"ttyACM"_s);
}

// Name with its trailing number split off, so that ttyS2 sorts before ttyS10.
struct NameKey {
    QString stem;
    qlonglong number = -1;
    QString whole;

    friend bool operator<(const NameKey &a, const NameKey &b)
    {
        if (a.stem != b.stem)
            return a.stem < b.stem;
        if (a.number != b.number)
            return a.number < b.number;
        return a.whole < b.whole;
    }
};

NameKey nameKey(const QString &device)
{
    const QString name = QFileInfo(device).fileName();
    qsizetype digits = name.size();
    while (digits > 0 && name.at(digits - 1).isDigit())
        --digits;
    NameKey key{name.left(digits), -1, device};
    if (digits < name.size())
        key.number = name.mid(digits).toLongLong();
    return key;
}

} // namespace

QStringList comOrder(QStringList devices)
{
    std::stable_sort(devices.begin(), devices.end(), [](const QString &a, const QString &b) {
        const bool usbA = isUsbAdapter(a);
        const bool usbB = isUsbAdapter(b);
        if (usbA != usbB)
            return usbA;
        return nameKey(a) < nameKey(b);
    });
    return devices;
}

QString comOverrideVariable(int comNumber)
{
    return u"TORSA_COM"_s + QString::number(comNumber);
}

QString comDevice(int comNumber, const std::optional<QString> &override, const QStringList &presentDevices)
{
    if (override && !override->isEmpty())
        return *override;
    const QStringList ordered = comOrder(presentDevices);
    const qsizetype index = comNumber - kFirstCom;
    return index >= 0 && index < ordered.size() ? ordered.at(index) : QString();
}

QString comDevice(int comNumber)
{
    std::optional<QString> override;
    const QByteArray variable = comOverrideVariable(comNumber).toLatin1();
    if (qEnvironmentVariableIsSet(variable.constData()))
        override = qEnvironmentVariable(variable.constData());
    return platform::comDevice(comNumber, override);
}

std::optional<int> comNumberOf(const QString &portName)
{
    constexpr qsizetype kComNameSize = 4; // "COMn"
    if (portName.size() != kComNameSize || !portName.startsWith(u"COM"_s, Qt::CaseInsensitive))
        return std::nullopt;
    const int number = portName.back().digitValue();
    if (number < kFirstCom || number > kLastCom)
        return std::nullopt;
    return number;
}

QString devicePathFor(const QString &portName)
{
    const std::optional<int> number = comNumberOf(portName);
    if (number)
        return comDevice(*number);
    return platform::deviceOfPort(portName);
}

QString comStatusTip(int comNumber, const QString &device)
{
    if (device.isEmpty())
        return u"COM%1 : aucun port série correspondant sur ce poste"_s.arg(comNumber);
    return u"COM%1 : %2"_s.arg(comNumber).arg(device);
}

QString comStatusTip(int comNumber)
{
    return platform::comStatusTip(comNumber);
}

} // namespace torsa::link
