#pragma once

// The serial ports present, as the system lists them: which COM item of the
// window each stands for, which ones "&Configurer" offers below COM1 to COM4
// (an adapter Windows numbered COM7, a fifth adapter on Linux), and how
// `torsa-cli ports` names them.

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace torsa::link {

// A port by the name --port takes and the menu shows ("COM7", "/dev/ttyUSB4"),
// the device as the system describes it ("USB Serial Port"), and for a USB
// adapter its ids and serial number.
struct PresentPort {
    QString name;
    QString description;
    std::optional<std::uint16_t> vendorId;
    std::optional<std::uint16_t> productId;
    QString serialNumber;
    std::optional<int> latencyMs; // the adapter's latency timer, where it has one
};

// An item of "&Configurer" below COM1 to COM4.
struct ExtraPortItem {
    QString name; // its caption, and the port the messages name
    QString statusTip;

    friend bool operator==(const ExtraPortItem &, const ExtraPortItem &) = default;
};

// The devices COM1 to COM4 stand for.
using ComDevices = std::array<QString, 4>;

// The device a port's name opens ("COM7" is \\.\COM7 on Windows; a path is itself).
QString deviceOfPort(const QString &name);

// The COM item (1 to 4) the port stands for; none when no item does.
std::optional<int> comItemOf(const QString &portName, const ComDevices &comDevices);

// "COM7 : USB Serial Port (COM7)"; the name alone when there is no description.
QString portStatusTip(const PresentPort &port);

// The ports present that no COM item stands for, in COM order, as menu items;
// the item still checked is kept even when its port is gone, so that its check
// mark stays until a transfer fails on it.
std::vector<ExtraPortItem> extraPortItems(const QList<PresentPort> &present, const ComDevices &comDevices,
                                          const std::optional<ExtraPortItem> &kept);

// One line per port (name, COM item or "-", description, vendor:product and
// serial number of a USB adapter), columns aligned.
QString portLines(const QList<PresentPort> &present, const ComDevices &comDevices);

// The ports the system lists now, and the devices COM1 to COM4 stand for now.
QList<PresentPort> presentPorts();
ComDevices comDevicesNow();

} // namespace torsa::link
