#pragma once

// Which device the menu items COM1 to COM4 stand for. On Windows COMn is the
// platform's COMn. On Linux COMn is the n-th serial port present, USB adapters
// (ttyUSB*, ttyACM*) first, then the others, each group by name, so that a PC
// with one USB-serial adapter reaches it as COM1. TORSA_COMn pins COMn to a
// device (for instance a /dev/serial/by-id/ name, or the simulator's link).

#include <QString>
#include <QStringList>

#include <optional>

namespace torsa::link {

inline constexpr int kFirstCom = 1;
inline constexpr int kLastCom = 4;

// Device paths in COM order: USB adapters first, then the others, each group by
// name (numbers in names compare as numbers: ttyUSB2 before ttyUSB10).
QStringList comOrder(QStringList devices);

// The environment variable that pins COMn ("TORSA_COM1").
QString comOverrideVariable(int comNumber);

// COMn given the override (if set and not empty) and the ports present, in
// any order; empty when there is no such port.
QString comDevice(int comNumber, const std::optional<QString> &override, const QStringList &presentDevices);

// COMn on this machine, now.
QString comDevice(int comNumber);

// "COM1" to "COM4" (any case): its number; otherwise nothing.
std::optional<int> comNumberOf(const QString &portName);

// A port given on a command line: COM1 to COM4 resolved as above, anything else
// taken as a device path.
QString devicePathFor(const QString &portName);

// Status tip of a COM menu item: the device it stands for, or that there is none.
QString comStatusTip(int comNumber, const QString &device);

// Status tip of the item COMn on this machine, now; on Windows it names the
// adapter as the system describes it.
QString comStatusTip(int comNumber);

} // namespace torsa::link
