// Device-link figures against zel-sim on a pseudo-terminal:
//  1. software overhead of one byte command (round trip to the unpaced
//     simulator), median and p99;
//  2. CPU time over wall time while programming at 9600 baud (paced simulator);
//  3. the longest stall of the main window's event loop during a transfer.
// Usage: bench_link [--full]   (--full: whole 8192-address passes at 9600 baud,
// about 90 s each; default: the first 600 addresses, then "Arrêter").

#include "support/ScriptedPrompts.h"
#include "support/SimProcess.h"

#include "MainWindow.h"
#include "link/ByteCommand.h"
#include "link/LinkPort.h"
#include "link/TransferEngine.h"
#include "store/AddressMap.h"
#include "store/MemoryImage.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

using namespace torsa;
using namespace Qt::StringLiterals;

namespace {

constexpr int kCommands = 4000;
constexpr int kPacedAddresses = 600;
constexpr double kLineMsPerCommand = 10.0 * 10.0 / 9600.0 * 1000.0; // 10 bytes of 10 bits

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(std::lround(p * double(values.size() - 1)));
    return values.at(index);
}

MemoryImage sampleImage()
{
    MemoryImage image;
    for (int a = 0; a < address::kImageSize; ++a)
        image.set(a, (a * 7 + 3) % 256);
    return image;
}

bool commandOverhead()
{
    SimProcess sim;
    if (!sim.start())
        return false;
    link::LinkPort port;
    if (!port.open(sim.path()).ok())
        return false;
    link::ByteCommand command(port);
    std::vector<double> micros;
    micros.reserve(kCommands);
    QElapsedTimer clock;
    QEventLoop loop;
    int failures = 0;
    const auto startNext = [&] {
        const int n = static_cast<int>(micros.size());
        clock.start();
        if (n % 2 == 0)
            command.startWrite(n % address::kImageSize, static_cast<std::uint8_t>(n));
        else
            command.startRead(n % address::kImageSize, 0);
    };
    QObject::connect(&command, &link::ByteCommand::finished, &loop, [&](const link::CommandResult &result) {
        micros.push_back(double(clock.nsecsElapsed()) / 1000.0);
        if (result.status != link::Status::Done)
            ++failures;
        if (static_cast<int>(micros.size()) == kCommands)
            loop.quit();
        else
            startNext();
    });
    const double cpuBefore = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    startNext();
    loop.exec();
    const double wallSeconds = double(wall.nsecsElapsed()) / 1e9;
    const double cpu = cpuSeconds() - cpuBefore;
    std::printf("1. byte command against the unpaced simulator, %d commands (writes and reads):\n", kCommands);
    std::printf("   round trip: median %.1f us, p99 %.1f us, max %.1f us (both processes, pty both ways)\n",
                percentile(micros, 0.5), percentile(micros, 0.99), percentile(micros, 1.0));
    std::printf("   this process's CPU per command: %.1f us (wall %.2f s, %d failed)\n", cpu / kCommands * 1e6,
                wallSeconds, failures);
    const double full = 8192 * (kLineMsPerCommand + percentile(micros, 0.5) / 1000.0) / 1000.0;
    std::printf("   a full pass at 9600 baud: line %.1f s + overhead = %.1f s (+%.2f %%)\n",
                8192 * kLineMsPerCommand / 1000.0, full, 100.0 * percentile(micros, 0.5) / 1000.0 / kLineMsPerCommand);
    return failures == 0;
}

bool pacedCpu(bool fullPass)
{
    SimProcess sim;
    if (!sim.start({u"--baud"_s, u"9600"_s}))
        return false;
    link::LinkPort port;
    if (!port.open(sim.path()).ok())
        return false;
    MemoryImage image = sampleImage();
    link::TransferEngine engine(port, image);
    QEventLoop loop;
    int sent = 0;
    QObject::connect(&engine, &link::TransferEngine::progress, &loop, [&](int address) {
        sent = address + 1;
        if (!fullPass && address == kPacedAddresses - 1)
            engine.requestStop();
    });
    link::TransferOutcome outcome;
    QObject::connect(&engine, &link::TransferEngine::finished, &loop, [&](const link::TransferOutcome &o) {
        outcome = o;
        loop.quit();
    });
    const double cpuBefore = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    engine.start(link::TransferKind::Program);
    loop.exec();
    const double wallSeconds = double(wall.nsecsElapsed()) / 1e9;
    const double cpu = cpuSeconds() - cpuBefore;
    std::printf("2. programming at 9600 baud (paced simulator), %d addresses in %.2f s (%.2f ms each, line %.2f ms):\n",
                sent, wallSeconds, wallSeconds * 1000.0 / sent, kLineMsPerCommand);
    std::printf("   CPU of this process over wall time: %.2f %% of one core\n", 100.0 * cpu / wallSeconds);
    return outcome.result != link::TransferResult::Failure;
}

bool windowRun(bool paced, bool measureStall, bool fullPass)
{
    SimProcess sim;
    if (!sim.start(paced ? QStringList{u"--baud"_s, u"9600"_s} : QStringList{}))
        return false;
    qputenv("TORSA_COM1", sim.path().toLocal8Bit());
    auto owned = std::make_unique<torsa::testing::ScriptedPrompts>();
    auto *prompts = owned.get();
    MainWindow window(std::move(owned));
    window.show();
    prompts->answers.push_back(true);
    prompts->answers.push_back(true);
    window.findChild<QAction *>(u"MENU_ED_AVEC"_s)->trigger();
    MemoryImage sample = sampleImage();
    sample.set(address::kModeCell, address::kModeLetterWithPlc);
    window.session().open(sample, *prompts);
    window.refresh();
    window.findChild<QAction *>(u"Menu_COM1"_s)->trigger();

    auto *engine = window.findChild<link::TransferEngine *>(u"transfer"_s);
    auto *stop = window.findChild<QPushButton *>(u"Commande8"_s);
    QEventLoop loop;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(1);
    QElapsedTimer sinceTick;
    qint64 longestGapNs = 0;
    QObject::connect(&ticker, &QTimer::timeout, &loop, [&] {
        longestGapNs = std::max(longestGapNs, sinceTick.nsecsElapsed());
        sinceTick.restart();
    });
    int sent = 0;
    const int stopAt = fullPass || !paced ? address::kImageSize : kPacedAddresses;
    QObject::connect(engine, &link::TransferEngine::progress, &loop, [&](int address) {
        sent = address + 1;
        if (address == stopAt - 1 && stopAt < address::kImageSize)
            stop->click();
    });
    QObject::connect(engine, &link::TransferEngine::finished, &loop, &QEventLoop::quit);
    QElapsedTimer wall;
    wall.start();
    sinceTick.start();
    if (measureStall)
        ticker.start();
    const double cpuBefore = cpuSeconds();
    window.findChild<QAction *>(u"MENU_WRITE"_s)->trigger();
    loop.exec();
    ticker.stop();
    const double wallSeconds = double(wall.nsecsElapsed()) / 1e9;
    const double cpu = cpuSeconds() - cpuBefore;
    std::printf("   main window programming %s, %d addresses in %.2f s (refresh every 600 ms, panel updated "
                "for every byte):\n",
                paced ? "at 9600 baud" : "against the unpaced simulator", sent, wallSeconds);
    if (measureStall)
        std::printf("   longest event-loop stall: %.2f ms (longest gap between 1 ms timer ticks)\n",
                    double(longestGapNs) / 1e6);
    else
        std::printf("   CPU of the window's process over wall time: %.2f %% of one core\n", 100.0 * cpu / wallSeconds);
    std::printf("   last message: %s\n", qPrintable(prompts->lastText()));
    qunsetenv("TORSA_COM1");
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool fullPass = QCoreApplication::arguments().contains(u"--full"_s);
    bool ok = commandOverhead();
    ok = pacedCpu(fullPass) && ok;
    ok = windowRun(true, false, fullPass) && ok;
    std::printf("3. the longest stall of the window's event loop during a transfer:\n");
    ok = windowRun(true, true, fullPass) && ok;
    ok = windowRun(false, true, fullPass) && ok;
    return ok ? 0 : 1;
}
