// Fault soak: transfers (programming, reading, verification, link test) drawn
// at random against zel-sim as its own process, each with a fault drawn at
// random: none, silence from an address, junk bytes before every answer, a
// split acknowledgement, death at an address, every read answered 0, or a
// verification against an image with one differing cell.
//
// Every transfer must end in the message and status the fault calls for;
// every reported success is checked against the unit's EEPROM as zel-sim
// saves it on exit (--save) and against the image read; no byte command may
// outlast its 0.4 s time-out by more than the margin; nothing may crash. The
// table counts, for each fault, the outcomes and the violations.
//
// Usage: bench_soak [TRANSFERS [SEED]]   (default: 200 transfers, seed 1)
// Exit status 1 when any transfer broke a rule.

#include "support/FileBytes.h"
#include "support/SimProcess.h"

#include "link/LinkPort.h"
#include "link/Protocol.h"
#include "link/TransferEngine.h"
#include "link/TransferTexts.h"
#include "session/Reports.h"
#include "session/TransferReport.h"
#include "store/AddressMap.h"
#include "store/MemoryImage.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <optional>
#include <vector>

using namespace torsa;
using namespace torsa::link;
using namespace Qt::StringLiterals;

namespace {

using testing::bytesOf;
using testing::readFile;
using testing::writeFile;

constexpr int kDefaultTransfers = 200;
constexpr double kTimeoutMs = 400.0;
// What a command may take beyond its time-out: the event loop's latency on a
// loaded machine, not a second time-out.
constexpr double kMarginMs = 150.0;
constexpr int kTransferWaitMs = 120000;
constexpr int kMaxJunk = 16;

enum class Fault { None, Silence, Junk, SplitAck, Death, ReadZero, DifferingImage };

const char *faultName(Fault f)
{
    switch (f) {
    case Fault::None: return "none";
    case Fault::Silence: return "silence from an address";
    case Fault::Junk: return "junk before answers";
    case Fault::SplitAck: return "split acknowledgement";
    case Fault::Death: return "death at an address";
    case Fault::ReadZero: return "reads answer 0";
    case Fault::DifferingImage: return "verify, one cell differs";
    }
    return "";
}

const char *kindName(TransferKind k)
{
    switch (k) {
    case TransferKind::Program: return "program";
    case TransferKind::Read: return "read";
    case TransferKind::Verify: return "verify";
    case TransferKind::LinkTest: return "link test";
    }
    return "";
}

// The faults that make sense for a kind. A unit whose reads all answer 0 is
// read as a unit holding zeros: nothing on the line tells it from one, so a
// read is not drawn with that fault.
std::vector<Fault> faultsFor(TransferKind kind)
{
    std::vector<Fault> faults{Fault::None, Fault::Silence, Fault::Junk, Fault::SplitAck, Fault::Death};
    if (kind != TransferKind::Read)
        faults.push_back(Fault::ReadZero);
    if (kind == TransferKind::Verify)
        faults.push_back(Fault::DifferingImage);
    return faults;
}

// The texts the user must see, written out as the unit's users know them.
const QString kCommunication = u"Problème de communication !\r\nEssayez à nouveau ."_s;
const QString kConnection = u"Problème de connexion !\r\nVérifier le câble et le port COM choisi ."_s;
const QString kProgrammed = u"Programmation terminée avec succés !"_s;
const QString kVerified = u"Vérification terminée avec succés !"_s;
const QString kLinkTested = u"Vérification terminé avec succés !"_s;
const QString kReadDone = u"Lecture terminée avec succés !"_s;

QString mismatchText(int address)
{
    return u"Erreur Vérification !\r\nReprogrammez à nouveau .(Err: "_s + QString::number(address) + u')';
}

MemoryImage randomImage(QRandomGenerator &random)
{
    MemoryImage image;
    for (int a = 0; a < address::kImageSize; ++a)
        image.set(a, random.bounded(256));
    return image;
}

struct Case {
    TransferKind kind = TransferKind::Program;
    Fault fault = Fault::None;
    int at = 0; // silence, death: the address; differing image: the cell
    int junk = 0;
    MemoryImage unit;  // the unit's EEPROM at the start
    MemoryImage image; // the program's image at the start
};

// What the case must end in.
struct Expected {
    TransferResult result = TransferResult::Success;
    Status status = Status::Done;
    int address = -1;
    QString text;
    PromptIcon icon = PromptIcon::Information;
    MemoryImage unitAfter;  // the EEPROM when it ends
    MemoryImage imageAfter; // the program's image when it ends, a read's taken in
};

int firstNonZero(const MemoryImage &image)
{
    for (int a = 0; a < address::kImageSize; ++a) {
        if (image[a] != 0)
            return a;
    }
    return -1;
}

Expected expectedFor(const Case &c)
{
    Expected e;
    e.unitAfter = c.unit;
    e.imageAfter = c.image;
    const bool cut = c.fault == Fault::Silence || c.fault == Fault::Death;
    const auto failCommunication = [&](int address) {
        e.result = TransferResult::Failure;
        e.status = Status::Timeout;
        e.address = address;
        e.text = kCommunication;
        e.icon = PromptIcon::Exclamation;
    };
    switch (c.kind) {
    case TransferKind::Program:
        if (cut) {
            // Bytes before the address are in; the silent or dying unit
            // stores nothing from the address on.
            for (int a = 0; a < c.at; ++a)
                e.unitAfter.set(a, c.image[a]);
            failCommunication(c.at);
        } else {
            e.unitAfter = c.image;
            e.text = kProgrammed;
        }
        return e;
    case TransferKind::Read:
        if (cut) {
            failCommunication(c.at); // the image stays as it was
        } else {
            e.imageAfter = c.unit;
            e.text = reports::readingReport(c.unit);
        }
        return e;
    case TransferKind::Verify: {
        if (cut) {
            failCommunication(c.at);
            return e;
        }
        int differs = -1;
        if (c.fault == Fault::DifferingImage)
            differs = c.at;
        if (c.fault == Fault::ReadZero)
            differs = firstNonZero(c.image);
        if (differs >= 0) {
            e.result = TransferResult::Failure;
            e.status = Status::Mismatch;
            e.address = differs;
            e.text = mismatchText(differs);
            e.icon = PromptIcon::Critical;
        } else {
            e.text = kVerified;
        }
        return e;
    }
    case TransferKind::LinkTest:
        if (cut || c.fault == Fault::ReadZero) {
            e.result = TransferResult::Failure;
            e.address = address::kLinkTestCell;
            e.text = kConnection;
            e.icon = PromptIcon::Critical;
            if (c.fault == Fault::ReadZero) {
                // 0 passes, 170 is written and read back as 0.
                e.status = Status::Mismatch;
                e.unitAfter.set(address::kLinkTestCell, 170);
            } else {
                e.status = Status::Timeout;
            }
        } else {
            e.unitAfter.set(address::kLinkTestCell, 0);
            e.text = kLinkTested;
        }
        return e;
    }
    return e;
}

struct Observed {
    std::optional<TransferOutcome> outcome;
    double totalMs = 0;
    double longestCommandMs = 0; // the longest time between two byte steps
    double lastCommandMs = 0;    // from the last byte step to the end
};

Observed run(TransferEngine &engine, TransferKind kind)
{
    Observed seen;
    QElapsedTimer clock;
    double last = 0;
    const auto step = [&] {
        const double now = double(clock.nsecsElapsed()) / 1e6;
        seen.lastCommandMs = now - last;
        seen.longestCommandMs = std::max(seen.longestCommandMs, seen.lastCommandMs);
        last = now;
    };
    QEventLoop loop;
    const auto p = QObject::connect(&engine, &TransferEngine::progress, &loop, [&](int address) {
        if (address > 0)
            step();
    });
    const auto f = QObject::connect(&engine, &TransferEngine::finished, &loop, [&](const TransferOutcome &o) {
        seen.outcome = o;
        loop.quit();
    });
    QTimer::singleShot(kTransferWaitMs, &loop, &QEventLoop::quit);
    clock.start();
    if (engine.start(kind))
        loop.exec();
    seen.totalMs = double(clock.nsecsElapsed()) / 1e6;
    // The link test signals no steps: its whole time bounds each command.
    if (seen.outcome)
        step();
    QObject::disconnect(p);
    QObject::disconnect(f);
    return seen;
}

struct Tally {
    int transfers = 0;
    std::map<QString, int> outcomes; // "program: success", ...
    int wrong = 0;                   // wrong result, status, address, message or content
    int falseSuccess = 0;
    int overTime = 0;
    int crashes = 0;
    double longestCommandMs = 0;
    double seconds = 0;
};

QString outcomeName(const TransferOutcome &o)
{
    QString kind = QString::fromLatin1(kindName(o.kind)) + u": "_s;
    if (o.succeeded())
        return kind + u"success"_s;
    if (o.status == Status::Mismatch)
        return kind + u"mismatch at its cell"_s;
    return kind + (o.portFailed ? u"no answer (port lost)"_s : u"no answer (time-out)"_s);
}

Case drawCase(QRandomGenerator &random)
{
    constexpr std::array kinds{TransferKind::Program, TransferKind::Read, TransferKind::Verify, TransferKind::LinkTest};
    Case c;
    c.kind = kinds.at(static_cast<std::size_t>(random.bounded(int(kinds.size()))));
    const std::vector<Fault> faults = faultsFor(c.kind);
    c.fault = faults.at(static_cast<std::size_t>(random.bounded(int(faults.size()))));
    c.unit = randomImage(random);
    c.image = c.kind == TransferKind::Verify ? c.unit : randomImage(random);
    // The link test only ever speaks to the link-test cell.
    c.at = c.kind == TransferKind::LinkTest ? address::kLinkTestCell : random.bounded(address::kImageSize);
    c.junk = random.bounded(1, kMaxJunk + 1);
    if (c.fault == Fault::DifferingImage)
        c.image.set(c.at, (c.image[c.at] + 1 + random.bounded(255)) % 256);
    return c;
}

QStringList simOptions(const Case &c, const QString &unitFile, const QString &savedFile)
{
    QStringList options{u"--load"_s, unitFile, u"--save"_s, savedFile};
    switch (c.fault) {
    case Fault::Silence: options << u"--silent-from"_s << QString::number(c.at); break;
    case Fault::Junk: options << u"--junk"_s << QString::number(c.junk); break;
    case Fault::SplitAck: options << u"--split-ack"_s; break;
    case Fault::Death: options << u"--die-at"_s << QString::number(c.at); break;
    case Fault::ReadZero: options << u"--read-zero"_s; break;
    case Fault::None:
    case Fault::DifferingImage: break;
    }
    return options;
}

// One case from the start of the simulator to its end.
struct Run {
    Observed seen;
    MemoryImage image;    // the program's image when it ended
    QByteArray unitAfter; // the EEPROM zel-sim saved
    bool simCrashed = false;
};

std::optional<Run> runCase(const Case &c, const QString &unitFile, const QString &savedFile)
{
    QFile::remove(savedFile);
    if (!writeFile(unitFile, bytesOf(c.unit))) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(unitFile));
        return std::nullopt;
    }
    SimProcess sim;
    if (!sim.start(simOptions(c, unitFile, savedFile))) {
        std::fprintf(stderr, "zel-sim does not start\n");
        return std::nullopt;
    }
    Run r;
    r.image = c.image;
    {
        LinkPort port;
        if (!port.open(sim.path()).ok()) {
            std::fprintf(stderr, "cannot open %s\n", qPrintable(sim.path()));
            return std::nullopt;
        }
        TransferEngine engine(port, r.image);
        r.seen = run(engine, c.kind);
        // The engine only reads the image; a read's bytes come in its outcome.
        if (r.seen.outcome && r.seen.outcome->readImage)
            r.image = *r.seen.outcome->readImage;
    }
    const bool ended = c.fault == Fault::Death ? sim.waitForExit() : sim.stop();
    r.simCrashed = !ended || sim.process().exitStatus() != QProcess::NormalExit;
    r.unitAfter = readFile(savedFile);
    return r;
}

// Every rule the case broke; the tally counts the outcome.
QStringList judge(const Case &c, const Run &r, Tally &tally)
{
    const Expected e = expectedFor(c);
    QStringList broken;
    if (!r.seen.outcome) {
        broken << u"no end within %1 s"_s.arg(kTransferWaitMs / 1000);
    } else {
        const TransferOutcome &o = *r.seen.outcome;
        tally.outcomes[outcomeName(o)] += 1;
        const reports::TransferReport report = reports::forTransfer(o, r.image);
        if (o.succeeded() && e.result != TransferResult::Success)
            ++tally.falseSuccess;
        if (o.result != e.result || o.status != e.status || (!o.succeeded() && o.address != e.address))
            broken << u"ended %1 status %2 at %3, expected %4 status %5 at %6"_s.arg(int(o.result))
                          .arg(statusValue(o.status))
                          .arg(o.address)
                          .arg(int(e.result))
                          .arg(statusValue(e.status))
                          .arg(e.address);
        if (report.text != e.text || report.icon != e.icon)
            broken << u"message \"%1\", expected \"%2\""_s.arg(report.text, e.text);
        // A silent unit is given the whole time-out before the failure.
        if (o.status == Status::Timeout && !o.portFailed && r.seen.lastCommandMs < kTimeoutMs)
            broken << u"time-out after only %1 ms"_s.arg(r.seen.lastCommandMs, 0, 'f', 1);
    }
    if (r.image != e.imageAfter)
        broken << u"the program's image is not what it must be"_s;
    if (r.unitAfter != bytesOf(e.unitAfter))
        broken << u"the unit's EEPROM is not what it must be"_s;
    if (r.seen.longestCommandMs > kTimeoutMs + kMarginMs) {
        ++tally.overTime;
        broken << u"a byte command took %1 ms"_s.arg(r.seen.longestCommandMs, 0, 'f', 1);
    }
    if (r.simCrashed) {
        ++tally.crashes;
        broken << u"zel-sim did not end normally"_s;
    }
    tally.longestCommandMs = std::max(tally.longestCommandMs, r.seen.longestCommandMs);
    tally.seconds += r.seen.totalMs / 1000.0;
    if (!broken.isEmpty())
        ++tally.wrong;
    return broken;
}

void printTable(const std::map<Fault, Tally> &table)
{
    std::printf("| fault | transfers | outcomes | wrong | false successes | over time-out | crashes | longest "
                "command (ms) | transfer time (s) |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|\n");
    for (const auto &[fault, t] : table) {
        QStringList outcomes;
        for (const auto &[name, count] : t.outcomes)
            outcomes << u"%1 %2"_s.arg(name).arg(count);
        std::printf("| %s | %d | %s | %d | %d | %d | %d | %.1f | %.1f |\n", faultName(fault), t.transfers,
                    qUtf8Printable(outcomes.join(u", "_s)), t.wrong, t.falseSuccess, t.overTime, t.crashes,
                    t.longestCommandMs, t.seconds);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    const QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const int transfers = args.size() > 1 ? args.at(1).toInt() : kDefaultTransfers;
    const quint32 seed = args.size() > 2 ? args.at(2).toUInt() : 1;
    QRandomGenerator random(seed);
    const QTemporaryDir dir;
    const QString unitFile = dir.filePath(u"unit.zel"_s);
    const QString savedFile = dir.filePath(u"saved.zel"_s);

    std::map<Fault, Tally> table;
    QElapsedTimer wall;
    wall.start();
    int violations = 0;
    for (int i = 0; i < transfers; ++i) {
        const Case c = drawCase(random);
        Tally &tally = table[c.fault];
        ++tally.transfers;
        const std::optional<Run> r = runCase(c, unitFile, savedFile);
        if (!r)
            return 2;
        const QStringList broken = judge(c, *r, tally);
        if (!broken.isEmpty()) {
            ++violations;
            std::printf("transfer %d (%s, %s, address %d): %s\n", i, kindName(c.kind), faultName(c.fault), c.at,
                        qUtf8Printable(broken.join(u"; "_s)));
        }
    }

    std::printf("\nFault soak: %d transfers against zel-sim (unpaced), seed %u, %.1f s in all\n\n", transfers, seed,
                double(wall.elapsed()) / 1000.0);
    printTable(table);
    std::printf("\n%d transfer(s) broke a rule.\n", violations);
    return violations == 0 ? 0 : 1;
}
