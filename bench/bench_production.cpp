// A production line on one PC: `torsa-cli program FILE --verify` with one --port
// per unit, against as many zel-sim paced at 9600 baud (a real unit's pace):
//  1. the wall time of N units against one unit alone;
//  2. the CPU of torsa-cli over that wall time;
//  3. how soon torsa-cli follows a unit's answer with its next frame, over every
//     frame of every unit (zel-sim --gap-log): median, p99 and max.
// Each unit's EEPROM is compared with the file afterwards.
// Usage: bench_production [N ...]   (default: 1 4 16; each run takes about 171 s)
//
// bench_production station [PORTS [UNITS [BAUD]]]: `torsa-cli station` on PORTS
// zel-sim (default 16 ports, 3 units each, 115200 baud: a real unit's 9600 makes
// a run of some nine minutes), the bench swapping each
// unit once it has ended (SIGUSR1, then SIGUSR2 once the port waits): the wall
// time against UNITS times one unit's two passes on the line, torsa-cli's CPU,
// and the time from a unit put on the line to its programming started (its
// first frame sent): the probe's wait, its answer and the start.
//
// bench_production window [PORTS [SECONDS [BAUD]]]: the station window's core
// in this process, drawing (offscreen unless a display is given): the window on
// PORTS zel-sim (default 16 at 9600 baud) for SECONDS (default 60), its CPU
// over the wall time, and the units it ended.

#include "support/FileBytes.h"
#include "support/SimProcess.h"

#include "StationArguments.h"
#include "StationWindow.h"

#include "store/AddressMap.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <memory>
#include <string_view>
#include <sys/resource.h>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// Both passes, 10 bytes of 10 bits a command, at 9600 baud.
constexpr double kLineSeconds = 2.0 * torsa::address::kImageSize * 10.0 * 10.0 / 9600.0;
constexpr double kUsPerMs = 1000.0;

struct Figures {
    double wallSeconds = 0;
    double cpuSeconds = 0;
    std::vector<double> gapsUs;
    int eepromsMatching = 0;
    int exitCode = -1;
};

// CPU of the children waited for so far: torsa-cli once it has ended, while the
// simulators still run.
double childrenCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto seconds = [](const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(std::lround(p * double(values.size() - 1)));
    return values.at(index);
}

QByteArray sampleFile()
{
    QByteArray bytes(torsa::address::kImageSize, '\0');
    for (int a = 0; a < bytes.size(); ++a)
        bytes[a] = static_cast<char>((a * 7 + 3) % 256);
    return bytes;
}

Figures runUnits(int units, const QString &file, const QTemporaryDir &dir)
{
    Figures figures;
    std::vector<std::unique_ptr<SimProcess>> sims;
    QStringList arguments{u"program"_s, file, u"--verify"_s};
    for (int i = 0; i < units; ++i) {
        sims.push_back(std::make_unique<SimProcess>());
        if (!sims.back()->start({u"--baud"_s, u"9600"_s, u"--save"_s, dir.filePath(u"unit%1.zel"_s.arg(i)),
                                 u"--gap-log"_s, dir.filePath(u"gaps%1.txt"_s.arg(i))}))
            return figures;
        arguments << u"--port"_s << sims.back()->path();
    }
    QProcess cli;
    const double cpuBefore = childrenCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    cli.start(QStringLiteral(TORSA_CLI_PATH), arguments);
    if (!cli.waitForFinished(-1))
        return figures;
    figures.wallSeconds = double(wall.nsecsElapsed()) / 1e9;
    figures.cpuSeconds = childrenCpuSeconds() - cpuBefore;
    figures.exitCode = cli.exitCode();
    const QByteArray expected = sampleFile();
    for (int i = 0; i < units; ++i) {
        sims.at(static_cast<std::size_t>(i))->stop();
        if (torsa::testing::readFile(dir.filePath(u"unit%1.zel"_s.arg(i))) == expected)
            ++figures.eepromsMatching;
        const QList<QByteArray> lines = torsa::testing::readFile(dir.filePath(u"gaps%1.txt"_s.arg(i))).split('\n');
        for (const QByteArray &line : lines) {
            if (!line.isEmpty())
                figures.gapsUs.push_back(line.toDouble());
        }
    }
    return figures;
}

int runStation(int ports, int units, int baud, const QString &file, const QTemporaryDir &dir)
{
    const double passSeconds = 2.0 * torsa::address::kImageSize * 10.0 * 10.0 / baud;
    std::vector<std::unique_ptr<SimProcess>> sims;
    QStringList arguments{u"station"_s, file};
    for (int i = 0; i < ports; ++i) {
        sims.push_back(std::make_unique<SimProcess>());
        if (!sims.back()->start({u"--baud"_s, QString::number(baud), u"--save-each"_s,
                                 dir.filePath(u"station%1-%2.zel"_s.arg(i).arg(u"%1"_s)), u"--save"_s,
                                 dir.filePath(u"station%1-%2.zel"_s.arg(i).arg(units))}))
            return 1;
        arguments << u"--port"_s << sims.back()->path();
    }
    QProcess cli;
    cli.setReadChannel(QProcess::StandardError);
    const double cpuBefore = childrenCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    cli.start(QStringLiteral(TORSA_CLI_PATH), arguments);
    std::vector<qint64> putInAt(static_cast<std::size_t>(ports), -1);
    std::vector<int> ended(static_cast<std::size_t>(ports), 0);
    std::vector<double> startMs;
    int good = 0;
    int done = 0;
    QByteArray pending;
    while (done < ports * units && cli.waitForReadyRead(-1)) {
        pending += cli.readAll();
        for (qsizetype end = pending.indexOf('\n'); end >= 0; end = pending.indexOf('\n')) {
            const QString line = QString::fromUtf8(pending.first(end));
            pending.remove(0, end + 1);
            const auto port = static_cast<std::size_t>(
                std::ranges::find_if(sims, [&line](const auto &sim) { return line.startsWith(sim->path() + u"  "_s); })
                - sims.begin());
            if (port >= sims.size())
                continue;
            const auto pid = static_cast<pid_t>(sims[port]->process().processId());
            if (line.endsWith(u" : en cours"_s) && putInAt[port] >= 0) {
                startMs.push_back(double(wall.nsecsElapsed() - putInAt[port]) / 1e6);
                putInAt[port] = -1;
            } else if (line.contains(u" sur ce port)  "_s)) {
                ++done;
                if (line.contains(u"Vérification terminée avec succés !"_s))
                    ++good;
                else
                    std::printf("failed: %s\n", qUtf8Printable(line));
                if (++ended[port] < units)
                    ::kill(pid, SIGUSR1);
            } else if (line.endsWith(u"en attente d'une unité"_s) && ended[port] > 0 && ended[port] < units) {
                ::kill(pid, SIGUSR2);
                putInAt[port] = wall.nsecsElapsed();
            }
        }
    }
    ::kill(static_cast<pid_t>(cli.processId()), SIGINT);
    cli.waitForFinished(-1);
    const double wallSeconds = double(wall.nsecsElapsed()) / 1e9;
    const double cpuSeconds = childrenCpuSeconds() - cpuBefore;
    int matching = 0;
    for (int i = 0; i < ports; ++i) {
        sims.at(static_cast<std::size_t>(i))->stop();
        for (int unit = 1; unit <= units; ++unit)
            matching += torsa::testing::readFile(dir.filePath(u"station%1-%2.zel"_s.arg(i).arg(unit))) == sampleFile();
    }
    std::printf(
        "torsa-cli station FILE, %d ports at %d baud, %d units each (one unit's two passes on the line: %.1f s)\n",
        ports, baud, units, passSeconds);
    std::printf("wall %.1f s = %.3f x %d passes; exit %d, %d of %d units good, %d EEPROMs equal the file\n",
                wallSeconds, wallSeconds / (units * passSeconds), units, cli.exitCode(), good, ports * units, matching);
    std::printf("torsa-cli CPU %.2f s = %.2f %% of one core\n", cpuSeconds, 100.0 * cpuSeconds / wallSeconds);
    std::printf("unit put in to its programming started, over %zu units: median %.0f ms, max %.0f ms\n", startMs.size(),
                percentile(startMs, 0.5), percentile(startMs, 1.0));
    return cli.exitCode() == 0 && matching == ports * units ? 0 : 1;
}

double ownCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

int runWindow(int argc, char *argv[])
{
    const QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(2);
    const int ports = arguments.value(0, u"16"_s).toInt();
    const int seconds = arguments.value(1, u"60"_s).toInt();
    const QString baud = arguments.value(2, u"9600"_s);
    const QTemporaryDir dir;
    const QString file = dir.filePath(u"ligne.zel"_s);
    if (!torsa::testing::writeFile(file, sampleFile()))
        return 1;
    std::vector<std::unique_ptr<SimProcess>> sims;
    QStringList given{file, u"--log"_s, dir.filePath(u"station.csv"_s)};
    for (int i = 0; i < ports; ++i) {
        sims.push_back(std::make_unique<SimProcess>());
        if (!sims.back()->start({u"--baud"_s, baud}))
            return 1;
        given << u"--port"_s << sims.back()->path();
    }
    torsa::station::StationWindow window(torsa::station::parseStationArguments(given));
    window.resize(1280, 1024);
    window.show();
    QElapsedTimer wall;
    wall.start();
    const double cpuBefore = ownCpuSeconds();
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    const double cpu = ownCpuSeconds() - cpuBefore;
    const double wallSeconds = double(wall.nsecsElapsed()) / 1e9;
    std::printf("station window, %d ports at %s baud, %.1f s: CPU %.2f s = %.2f %% of one core (window drawing "
                "included); %d units ended, %d good\n",
                ports, qUtf8Printable(baud), wallSeconds, cpu, 100.0 * cpu / wallSeconds,
                window.run() != nullptr ? static_cast<int>(window.run()->verdicts().size()) : 0,
                window.run() != nullptr ? window.run()->goodUnits() : 0);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1 && std::string_view(argv[1]) == "window")
        return runWindow(argc, argv);
    const QCoreApplication app(argc, argv);
    if (const QStringList arguments = QCoreApplication::arguments().mid(1);
        !arguments.isEmpty() && arguments.first() == u"station") {
        const QTemporaryDir dir;
        const QString file = dir.filePath(u"ligne.zel"_s);
        if (!torsa::testing::writeFile(file, sampleFile()))
            return 1;
        return runStation(arguments.value(1, u"16"_s).toInt(), arguments.value(2, u"3"_s).toInt(),
                          arguments.value(3, u"115200"_s).toInt(), file, dir);
    }
    std::vector<int> counts;
    for (const QString &argument : QCoreApplication::arguments().mid(1))
        counts.push_back(argument.toInt());
    if (counts.empty())
        counts = {1, 4, 16};

    const QTemporaryDir dir;
    const QString file = dir.filePath(u"ligne.zel"_s);
    if (!torsa::testing::writeFile(file, sampleFile())) {
        std::fputs("cannot write the production file\n", stderr);
        return 1;
    }
    std::printf("torsa-cli program FILE --verify, N units on N zel-sim --baud 9600 (the line alone: %.1f s a unit)\n",
                kLineSeconds);
    double alone = 0;
    bool ok = true;
    for (const int units : counts) {
        const Figures f = runUnits(units, file, dir);
        if (units == 1)
            alone = f.wallSeconds;
        std::printf("%2d unit(s): wall %.1f s (line +%.2f %%)", units, f.wallSeconds,
                    100.0 * (f.wallSeconds / kLineSeconds - 1.0));
        if (alone > 0)
            std::printf(", %.3f x one unit alone", f.wallSeconds / alone);
        std::printf("; exit %d, %d of %d EEPROMs equal the file\n", f.exitCode, f.eepromsMatching, units);
        std::printf("           torsa-cli CPU %.2f s = %.2f %% of one core\n", f.cpuSeconds,
                    100.0 * f.cpuSeconds / std::max(f.wallSeconds, 1e-9));
        std::printf("           answer to next frame over %zu frames: median %.2f ms, p99 %.2f ms, max %.2f ms\n",
                    f.gapsUs.size(), percentile(f.gapsUs, 0.5) / kUsPerMs, percentile(f.gapsUs, 0.99) / kUsPerMs,
                    percentile(f.gapsUs, 1.0) / kUsPerMs);
        std::fflush(stdout);
        ok = ok && f.exitCode == 0 && f.eepromsMatching == units;
    }
    return ok ? 0 : 1;
}
