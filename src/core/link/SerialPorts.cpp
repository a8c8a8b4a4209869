#include "SerialPorts.h"

#include "LinkPlatform.h"
#include "PortNames.h"

#include <QSerialPortInfo>

#include <algorithm>

namespace torsa::link {

using namespace Qt::StringLiterals;

namespace {

constexpr int kIdDigits = 4;
constexpr int kHex = 16;
constexpr QStringView kColumnGap = u"  ";
constexpr QStringView kNone = u"-";

QString hexId(std::uint16_t id)
{
    return u"%1"_s.arg(id, kIdDigits, kHex, QChar(u'0'));
}

QStringList columnsOf(const PresentPort &port, const ComDevices &comDevices)
{
    const std::optional<int> com = comItemOf(port.name, comDevices);
    QStringList columns{port.name, com ? u"COM"_s + QString::number(*com) : kNone.toString(),
                        port.description.isEmpty() ? kNone.toString() : port.description};
    if (port.vendorId && port.productId) {
        columns.append(hexId(*port.vendorId) + u':' + hexId(*port.productId));
        columns.append(port.serialNumber);
    }
    if (port.latencyMs)
        columns.append(u"latence %1 ms"_s.arg(*port.latencyMs));
    return columns;
}

} // namespace

QString deviceOfPort(const QString &name)
{
    return platform::deviceOfPort(name);
}

std::optional<int> comItemOf(const QString &portName, const ComDevices &comDevices)
{
    const QString device = platform::portIdentity(deviceOfPort(portName));
    for (std::size_t i = 0; i < comDevices.size(); ++i) {
        if (!comDevices.at(i).isEmpty() && platform::portIdentity(comDevices.at(i)) == device)
            return static_cast<int>(i) + kFirstCom;
    }
    return std::nullopt;
}

QString portStatusTip(const PresentPort &port)
{
    return port.description.isEmpty() ? port.name : port.name + u" : "_s + port.description;
}

std::vector<ExtraPortItem> extraPortItems(const QList<PresentPort> &present, const ComDevices &comDevices,
                                          const std::optional<ExtraPortItem> &kept)
{
    QStringList names;
    std::vector<ExtraPortItem> items;
    for (const PresentPort &port : present) {
        if (!comItemOf(port.name, comDevices) && !names.contains(port.name)) {
            names.append(port.name);
            items.push_back({port.name, portStatusTip(port)});
        }
    }
    if (kept && !names.contains(kept->name)) {
        names.append(kept->name);
        items.push_back(*kept);
    }
    names = comOrder(names);
    std::ranges::sort(items, {}, [&names](const ExtraPortItem &item) { return names.indexOf(item.name); });
    return items;
}

QString portLines(const QList<PresentPort> &present, const ComDevices &comDevices)
{
    std::vector<QStringList> rows;
    QList<qsizetype> widths;
    for (const PresentPort &port : present) {
        const QStringList &row = rows.emplace_back(columnsOf(port, comDevices));
        widths.resize(std::max(widths.size(), row.size()));
        for (qsizetype i = 0; i < row.size(); ++i)
            widths[i] = std::max(widths.at(i), row.at(i).size());
    }
    QString text;
    for (QStringList row : rows) {
        for (qsizetype i = 0; i < row.size(); ++i)
            row[i] = row.at(i).leftJustified(widths.at(i));
        text += row.join(kColumnGap).trimmed() + u'\n';
    }
    return text;
}

QList<PresentPort> presentPorts()
{
    QList<PresentPort> ports;
    const auto available = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : available) {
        PresentPort port{platform::listedName(info), info.description(), {}, {}, {}, {}};
        if (info.hasVendorIdentifier() && info.hasProductIdentifier()) {
            port.vendorId = info.vendorIdentifier();
            port.productId = info.productIdentifier();
            port.serialNumber = info.serialNumber();
        }
        if (const auto timer = platform::latencyTimer(port.name))
            port.latencyMs = timer->ms;
        ports.append(port);
    }
    return ports;
}

ComDevices comDevicesNow()
{
    ComDevices devices;
    for (std::size_t i = 0; i < devices.size(); ++i)
        devices.at(i) = comDevice(static_cast<int>(i) + kFirstCom);
    return devices;
}

} // namespace torsa::link
