#include "AdapterLatency.h"

namespace torsa::link {

namespace {

constexpr int kLowestTimerMs = 1;

} // namespace

SlowLinkAdvice adviceFor(Platform platform, const AdapterTimer &adapter)
{
    // A timer already at its lowest cannot be the cause.
    const bool lowerable = adapter.timerMs && *adapter.timerMs > kLowestTimerMs;
    if (!lowerable)
        return SlowLinkAdvice::SlowAdapter;
    switch (platform) {
    case Platform::Windows: return SlowLinkAdvice::LowerRegistryTimer;
    case Platform::Linux: break;
    }
    // Honoured, the driver has set the timer to 1 ms already.
    return adapter.request == LowLatencyRequest::Honoured ? SlowLinkAdvice::SlowAdapter : SlowLinkAdvice::UdevRule;
}

} // namespace torsa::link
