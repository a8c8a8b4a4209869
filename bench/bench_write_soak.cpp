// Every writer against a disk that fills up at every point: the limit on the
// file's size from 0 to the whole file in steps of 256 bytes, and one byte
// below and above each step. Counts the failures reported as successes and the
// older files changed by a failure; both must be 0.

#include "support/FileBytes.h"
#include "support/FileSizeLimit.h"
#include "support/SimProcess.h"
#include "support/WindowUnderTest.h"

#include "files/CsvRecords.h"
#include "store/AddressMap.h"
#include "store/MemoryImage.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <set>
#include <vector>

using namespace Qt::StringLiterals;
using namespace torsa;
using namespace torsa::testing;

namespace {

constexpr qint64 kStep = 256;

QString sample(const QString &name)
{
    return QStringLiteral(TORSA_SOURCE_DIR "/samples/") + name;
}

// The exit status of a process under the limit; -1 when it did not end normally.
int runLimited(const QString &program, const QStringList &arguments, qint64 limit)
{
    QProcess process;
    limitChild(process, limit);
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return -1;
    return process.exitCode();
}

const QByteArray kOldFile = QByteArray("ancien jeu de messages ").repeated(300);

// A writer replaces `out`, which holds `old`, under the limit; run is true
// when it reported success, and isWhole tells the file it should then hold.
// Limits go up to `size` in steps, and one by one from `fineFrom`.
struct Writer {
    const char *name;
    qint64 size;
    std::function<bool(const QString &out, qint64 limit)> run;
    std::function<bool(const QByteArray &now)> isWhole;
    QByteArray old = kOldFile;
    qint64 fineFrom = -1;
};

std::function<bool(const QByteArray &)> equalTo(const QByteArray &expected)
{
    return [expected](const QByteArray &now) { return now == expected; };
}

struct Tally {
    int runs = 0;
    int reportedFailures = 0;
    int falseSuccesses = 0;  // success reported, the file not whole
    int oldFilesChanged = 0; // failure reported, the older file not as it was
    int wholeRefused = 0;    // room for the whole file, and yet a failure
};

std::set<qint64> limitsFor(const Writer &writer)
{
    const qint64 size = writer.size;
    std::set<qint64> limits;
    for (qint64 limit = writer.fineFrom; writer.fineFrom >= 0 && limit <= size + 1; ++limit)
        limits.insert(limit);
    for (qint64 step = 0; step <= size + kStep - 1; step += kStep) {
        for (const qint64 limit : {step - 1, step, step + 1})
            if (limit >= 0 && limit <= size + 1)
                limits.insert(limit);
    }
    limits.insert(size);
    return limits;
}

Tally soak(const Writer &writer, const QString &out)
{
    Tally tally;
    for (const qint64 limit : limitsFor(writer)) {
        if (!writeFile(out, writer.old))
            qFatal("cannot write %s", qPrintable(out));
        const bool succeeded = writer.run(out, limit);
        const QByteArray now = readFile(out);
        ++tally.runs;
        if (succeeded && !writer.isWhole(now))
            ++tally.falseSuccesses;
        if (!succeeded) {
            ++tally.reportedFailures;
            if (now != writer.old)
                ++tally.oldFilesChanged;
            if (limit >= writer.size)
                ++tally.wholeRefused;
        }
    }
    return tally;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QTemporaryDir dir;
    const QString cli = QStringLiteral(TORSA_CLI_PATH);
    const QByteArray demo = readFile(sample(u"demo.zel"_s));
    QProcess exporter;
    exporter.start(cli, {u"export"_s, sample(u"demo.zel"_s)});
    exporter.waitForFinished();
    const QByteArray demoList = exporter.readAllStandardOutput();

    WindowUnderTest window;
    window.newSession("MENU_ED_AVEC");
    std::array<std::uint8_t, address::kImageSize> cells{};
    std::copy(demo.begin(), demo.end(), cells.begin());
    MemoryImage opened;
    opened.assignBytes(cells);
    window.window->session().open(opened, *window.prompts);
    const QByteArray shown = bytesOf(window.window->image());

    // A log as torsa-cli starts it, and what one row of the link test adds.
    SimProcess logged;
    const QString log = dir.filePath(u"journal.csv"_s);
    if (!logged.start() || runLimited(cli, {u"test"_s, u"--port"_s, logged.path(), u"--log"_s, log}, 1 << 20) != 0)
        qFatal("cannot start a log");
    const QByteArray logWithOneRow = readFile(log);
    const QByteArray newLog = logWithOneRow.left(logWithOneRow.indexOf("\r\n") + 2);
    const qint64 rowSize = logWithOneRow.size() - newLog.size();
    const auto oneMoreRow = [&newLog, rowSize](const QByteArray &now) {
        const auto records = csv::parse(QString::fromUtf8(now.sliced(newLog.size())));
        return now.startsWith(newLog) && now.endsWith("\r\n") && now.size() == newLog.size() + rowSize
            && records.size() == 1 && records.front().fields.size() == 9;
    };

    const std::vector<Writer> writers{
        {"torsa-cli import -o", demo.size(),
         [&](const QString &out, qint64 limit) {
             return runLimited(cli, {u"import"_s, sample(u"demo.csv"_s), u"-o"_s, out}, limit) == 0;
         },
         equalTo(demo)},
        {"torsa-cli export -o", demoList.size(),
         [&](const QString &out, qint64 limit) {
             return runLimited(cli, {u"export"_s, sample(u"demo.zel"_s), u"-o"_s, out}, limit) == 0;
         },
         equalTo(demoList)},
        {"torsa-cli read", demo.size(),
         [&](const QString &out, qint64 limit) {
             SimProcess unit;
             if (!unit.start({u"--load"_s, sample(u"demo.zel"_s)}))
                 qFatal("zel-sim did not start");
             return runLimited(cli, {u"read"_s, out, u"--port"_s, unit.path()}, limit) == 0;
         },
         equalTo(demo)},
        {"zel-sim --save", demo.size(),
         [](const QString &out, qint64 limit) {
             SimProcess unit;
             limitChild(unit.process(), limit);
             return unit.start({u"--load"_s, sample(u"demo.zel"_s), u"--save"_s, out}) && unit.stop()
                 && unit.process().exitCode() == 0;
         },
         equalTo(demo)},
        {"window, Enregistrer", demo.size(),
         [&window](const QString &out, qint64 limit) {
             const qsizetype boxes = window.prompts->shown.size();
             const OwnFileSizeLimit limited(limit);
             window.prompts->files.push_back(out);
             window.item("MENU_ENREGISTRER")->trigger();
             return window.prompts->shown.size() == boxes;
         },
         equalTo(shown)},
        {"torsa-cli --log (a row)", newLog.size() + rowSize,
         [&](const QString &out, qint64 limit) {
             return runLimited(cli, {u"test"_s, u"--port"_s, logged.path(), u"--log"_s, out}, limit) == 0;
         },
         oneMoreRow, newLog, newLog.size() - 1},
    };

    std::printf("%-22s %6s %9s %16s %18s %14s %8s\n", "writer", "runs", "failures", "false successes",
                "old files changed", "whole refused", "seconds");
    int bad = 0;
    for (const Writer &writer : writers) {
        QElapsedTimer clock;
        clock.start();
        const Tally t = soak(writer, dir.filePath(u"sortie"_s));
        bad += t.falseSuccesses + t.oldFilesChanged + t.wholeRefused;
        std::printf("%-22s %6d %9d %16d %18d %14d %8.1f\n", writer.name, t.runs, t.reportedFailures, t.falseSuccesses,
                    t.oldFilesChanged, t.wholeRefused, static_cast<double>(clock.elapsed()) / 1000.0);
    }
    return bad == 0 ? 0 : 1;
}
