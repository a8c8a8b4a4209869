#pragma once

// A USB adapter's latency timer, what TORSA asked of its driver, and what the
// technician is told to do when the adapter holds the unit's answers. The
// decisions are pure functions of the platform and of what was found, so that
// both platforms' choices are tested on either.

#include <QString>

#include <cstdint>
#include <optional>

namespace torsa::link {

enum class Platform : std::uint8_t { Linux, Windows };

// The low-latency request made on a port as it opens (Linux: ASYNC_LOW_LATENCY).
enum class LowLatencyRequest : std::uint8_t {
    NotMade,  // the platform has no such request (Windows: the registry decides)
    Honoured, // the driver took the flag
    Refused,  // a pseudo-terminal, a driver without the flag, an old kernel
};

// What the port's opening found out about its adapter.
struct AdapterTimer {
    LowLatencyRequest request = LowLatencyRequest::NotMade;
    std::optional<int> timerMs; // the adapter's latency timer, where it has one
    QString where;              // where that value is kept (a sysfs file, a registry key)
};

enum class SlowLinkAdvice : std::uint8_t {
    LowerRegistryTimer, // Windows, FTDI: the registry's LatencyTimer, by an administrator
    UdevRule,           // Linux, the driver refused the flag: latency_timer by a udev rule
    SlowAdapter,        // no timer to set (CH340, CP210x, PL2303), or it is low already
};

// What to tell, once the commands are known to be slow.
SlowLinkAdvice adviceFor(Platform platform, const AdapterTimer &adapter);

// This build's platform.
Platform currentPlatform();

} // namespace torsa::link
