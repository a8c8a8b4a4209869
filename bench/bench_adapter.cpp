// A pass at 9600 baud through a USB adapter's latency timer, against the
// line's own 85.3 s: `torsa-cli program` against zel-sim paced at 9600, its
// answers released at the ticks of a 16 ms timer that the driver lowers (the
// stand-in driver preloaded, which drops it to 1 ms as ftdi_sio does) or cannot,
// and of a 1 ms timer. Figures from torsa-cli's own log: the median time per
// command and the duration.
// Usage: bench_adapter [--full]   (default: the first 1024 addresses, the
// unit then silent, the pass extrapolated; --full: whole passes, ~7 minutes)

#include "support/CliProcess.h"
#include "support/SimProcess.h"

#include "files/CsvRecords.h"
#include "link/LinkPace.h"
#include "store/AddressMap.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <cstdio>

using namespace Qt::StringLiterals;
using namespace torsa;

namespace {

constexpr int kSliceAddresses = 1024;
constexpr double kTimeoutSeconds = 0.4; // the silent address's wait, out of a slice's time

struct Case {
    const char *name;
    QStringList simOptions;
    bool driverHonours;
};

double decimalComma(const QString &text)
{
    return QString(text).replace(u',', u'.').toDouble();
}

} // namespace

int main(int argc, char *argv[])
{
    const QCoreApplication app(argc, argv);
    const bool full = QCoreApplication::arguments().contains(u"--full"_s);
    const int addresses = full ? address::kImageSize : kSliceAddresses;
    QTemporaryDir dir;
    const QString file = dir.filePath(u"image.zel"_s);
    QByteArray bytes(address::kImageSize, '\0');
    for (int a = 0; a < bytes.size(); ++a)
        bytes[a] = static_cast<char>((a * 7 + 3) % 256);
    if (!testing::writeFile(file, bytes))
        return 1;

    const double lineSeconds = static_cast<double>(link::passMsAt(link::lineCommandUs())) / 1000.0;
    std::printf("A pass at 9600 baud (%d commands), the line's own pace: %.1f s (%.2f ms a command)\n",
                address::kImageSize, lineSeconds, static_cast<double>(link::lineCommandUs()) / 1000.0);
    std::printf("%s\n", full ? "whole passes:" : "the first 1024 addresses, the pass extrapolated:");
    const QStringList line{u"--baud"_s, u"9600"_s};
    const QStringList timer16{u"--adapter-latency"_s, u"16"_s};
    for (const Case &c : {Case{"the line alone (no adapter)", line, false},
                          Case{"16 ms timer, driver honours the request", line + timer16, true},
                          Case{"16 ms timer, driver cannot lower it", line + timer16, false},
                          Case{"1 ms timer", line + QStringList{u"--adapter-latency"_s, u"1"_s}, false}}) {
        const QString control = dir.filePath(u"control"_s);
        QStringList options = c.simOptions + QStringList{u"--adapter-control"_s, control};
        if (!full)
            options += {u"--silent-from"_s, QString::number(addresses)};
        SimProcess sim;
        if (!sim.start(options))
            return 1;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (c.driverHonours) {
            environment.insert(u"LD_PRELOAD"_s, QStringLiteral(FAKE_FTDI_DRIVER_PATH));
            environment.insert(u"FAKE_FTDI_CONTROL"_s, control);
        }
        const QString log = dir.filePath(u"log.csv"_s);
        QFile::remove(log);
        const testing::CliRun run =
            testing::runCli({u"program"_s, file, u"--port"_s, sim.path(), u"--log"_s, log}, environment);
        const auto records = csv::parse(QString::fromUtf8(testing::readFile(log).sliced(3)));
        if (records.size() < 2 || records.back().fields.size() < 16) {
            std::printf("  %s: no log row (exit %d)\n", c.name, run.exitCode);
            continue;
        }
        const QStringList &row = records.back().fields;
        const double seconds = decimalComma(row.at(8)) - (full ? 0.0 : kTimeoutSeconds);
        const double pass = seconds * address::kImageSize / addresses;
        std::printf("  %-42s %6.2f ms a command (median), pass %6.1f s = %.3f x the line's%s\n", c.name,
                    decimalComma(row.at(15)), pass, pass / lineSeconds,
                    run.err.contains(u"Liaison lente"_s) ? ", warned" : "");
    }
    return 0;
}
