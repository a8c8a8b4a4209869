#pragma once

// What the technician is told when the commands go clearly slower than the
// line: the time per command measured, the pass it gives against the line's
// own pace, and what to do about it on this platform with this adapter.

#include "AdapterLatency.h"
#include "LinkPlatform.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace torsa::link::text {

// Nothing when the commands go at the line's pace (or none was answered).
// Its parts are on lines of their own.
std::optional<QString> slowLink(const QString &portName, std::optional<std::int64_t> medianCommandUs,
                                const AdapterTimer &adapter, Platform platform = currentPlatform());

// The figures alone: "16,0 ms par commande ...".
QString slowLinkFigures(std::int64_t medianCommandUs);
QString slowLinkAdvice(const QString &portName, const AdapterTimer &adapter, SlowLinkAdvice advice);

// The window's offer, on Windows, to lower an FTDI adapter's timer now.
QString lowerLatencyOffer(const QString &portName);
QString lowerLatencyNotStarted();

// What `torsa-cli latency` did, and on success when it takes effect: the FTDI
// driver reads the registry's value when the adapter starts (plugged in, or
// restarted by Device Manager); ftdi_sio sets the chip as sysfs is written.
QString latencyWriteResult(const QString &portName, int ms, platform::LatencyWrite result,
                           Platform platform = currentPlatform());

} // namespace torsa::link::text
