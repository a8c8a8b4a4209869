// A production line on one PC: `torsa-cli program FILE --verify` with one --port
// per unit, against as many zel-sim paced at 9600 baud (a real unit's pace):
//  1. the wall time of N units against one unit alone;
//  2. the CPU of torsa-cli over that wall time;
//  3. how soon torsa-cli follows a unit's answer with its next frame, over every
//     frame of every unit (zel-sim --gap-log): median, p99 and max.
// Each unit's EEPROM is compared with the file afterwards.
// Usage: bench_production [N ...]   (default: 1 4 16; each run takes about 171 s)

#include "support/FileBytes.h"
#include "support/SimProcess.h"

#include "store/AddressMap.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
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

} // namespace

int main(int argc, char *argv[])
{
    const QCoreApplication app(argc, argv);
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
