#include "LatencyCommand.h"

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
        print(stderr, QStringLiteral("Usage : torsa-cli latency PORT MS   (MS de 1 à 255)\n"));
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

QString latencyCommandHelp()
{
    return QStringLiteral("  latency PORT MS\n"
                          "                 set the latency timer of the FTDI USB adapter behind PORT to MS ms\n"
                          "                 (1 to 255; 1 lets a pass go at the line's pace): on Windows its\n"
                          "                 LatencyTimer in the registry, taken when the adapter is plugged in\n"
                          "                 again; on Linux its latency_timer in sysfs, at once, until it is\n"
                          "                 unplugged. An administrator's (root's) task: without the rights\n"
                          "                 it says so and changes nothing.\n"
                          "\n"
                          "Exit status of latency:\n"
                          "  0   written\n"
                          "  3   the port has no adapter with a latency timer\n"
                          "  4   it could not be written\n"
                          "  64  usage error\n"
                          "  77  not an administrator: nothing changed\n");
}

} // namespace torsa::cli
