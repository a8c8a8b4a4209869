#pragma once

// What the device link does differently on Linux and on Windows, one source
// file per platform (LinkPlatform_linux.cpp, LinkPlatform_windows.cpp), chosen
// by the build: port names and device identity, the low-latency request made
// on an open port, and a USB adapter's latency timer.

#include "AdapterLatency.h"

#include <QString>

#include <optional>

class QSerialPort;
class QSerialPortInfo;

namespace torsa::link::platform {

// The device a port's name opens ("COM7" is \\.\COM7 on Windows; a path is itself).
QString deviceOfPort(const QString &name);
// Two names of one device give the same identity: COM names whatever their
// case and form, a link and its target.
QString portIdentity(const QString &device);
// COMn given TORSA_COMn's value, if set.
QString comDevice(int comNumber, const std::optional<QString> &override);
// Status tip of the item COMn, now.
QString comStatusTip(int comNumber);
// The name a listed port goes by (--port, the menu).
QString listedName(const QSerialPortInfo &info);
// Whether a zero wait may look for input the system holds without a
// notification (not on Windows, where such a wait can dispatch a completion twice).
bool mayWaitForPendingInput();

// Asks the driver of the open port for low latency, on its native handle.
LowLatencyRequest requestLowLatency(QSerialPort &port);

// The latency timer of the adapter behind a port (a name or a device), where
// it has one: its value and where it is kept.
struct LatencyTimer {
    int ms = 0;
    QString where;
};
std::optional<LatencyTimer> latencyTimer(const QString &port);

enum class LatencyWrite : std::uint8_t { Written, NoTimer, NotPermitted, Failed };
// Sets the adapter's latency timer (Windows: the registry; Linux: sysfs, root).
LatencyWrite writeLatencyTimer(const QString &port, int ms);

// Runs `torsa-cli latency PORT MS` through the system's elevation prompt;
// false when it could not be started (or the platform has none).
bool writeLatencyTimerElevated(const QString &port, int ms);

} // namespace torsa::link::platform
