#include "LatencyCommand.h"

#include "CommandTable.h"
#include "Output.h"

#include "link/LinkPlatform.h"
#include "link/PortNames.h"
#include "link/SlowLinkTexts.h"

namespace torsa::cli {

namespace {

constexpr int kLowestMs = 1;
constexpr int kHighestMs = 255;
constexpr int kExitNotPermitted = 77; // as sysexits' EX_NOPERM

} // namespace

int runLatencyCommand(const QStringList &arguments)
{
    bool ok = false;
    const int ms = arguments.size() == 2 ? arguments.at(1).toInt(&ok) : 0;
    if (!ok || ms < kLowestMs || ms > kHighestMs) {
        print(stderr, usageText(u"latency").chopped(1) + QStringLiteral("   (MS de 1 à 255)\n"));
        return kExitUsage;
    }
    const QString &port = arguments.at(0);
    // COM1 to COM4 as the window has them; any other name as it is.
    const std::optional<int> com = link::comNumberOf(port);
    const QString device = com ? link::comDevice(*com) : port;
    const link::platform::LatencyWrite written = link::platform::writeLatencyTimer(device, ms);
    say(link::text::latencyWriteResult(port, ms, written));
    switch (written) {
    case link::platform::LatencyWrite::Written: return kExitSuccess;
    case link::platform::LatencyWrite::NoTimer: return kExitPortUnavailable;
    case link::platform::LatencyWrite::NotPermitted: return kExitNotPermitted;
    case link::platform::LatencyWrite::Failed: break;
    }
    return kExitUnreadableFile;
}

} // namespace torsa::cli
