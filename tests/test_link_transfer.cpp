// Programming, reading, verification and the link test through the transfer
// engine, against zel-sim as its own process (and a scripted unit on a
// pseudo-terminal where every frame must be seen).

#include "support/PtyUnit.h"
#include "support/SimProcess.h"

#include "link/LinkPort.h"
#include "link/Protocol.h"
#include "link/TransferEngine.h"
#include "link/TransferTexts.h"
#include "store/AddressMap.h"
#include "store/MemoryImage.h"
#include "support/CliProcess.h"

#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <optional>

using namespace torsa;
using namespace torsa::link;
using namespace Qt::StringLiterals;

namespace {

using torsa::testing::readFile;
using torsa::testing::writeFile;

constexpr int kTransferWaitMs = 60000;

// A full image where neighbouring cells differ, so that a shifted or skipped
// address shows.
MemoryImage patternImage(int seed)
{
    MemoryImage image;
    for (int a = 0; a < address::kImageSize; ++a)
        image.set(a, (a * 7 + seed + a / 256) % 256);
    return image;
}

QByteArray bytesOf(const MemoryImage &image)
{
    QByteArray out;
    for (int a = 0; a < address::kImageSize; ++a)
        out.append(static_cast<char>(image.at(a)));
    return out;
}

// Runs one transfer to its end; onProgress may act in the middle of it.
struct Run {
    std::optional<TransferOutcome> outcome;
    QList<int> progress;
};

Run runTransfer(TransferEngine &engine, TransferKind kind, const std::function<void(int)> &onProgress = {})
{
    Run run;
    const auto p = QObject::connect(&engine, &TransferEngine::progress, [&](int address) {
        run.progress.append(address);
        if (onProgress)
            onProgress(address);
    });
    const auto f = QObject::connect(&engine, &TransferEngine::finished,
                                    [&](const TransferOutcome &outcome) { run.outcome = outcome; });
    // An event loop of its own: QTest::qWaitFor sleeps between its passes,
    // which would cost every byte command 10 ms.
    QEventLoop loop;
    const auto quit = QObject::connect(&engine, &TransferEngine::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(kTransferWaitMs, &loop, &QEventLoop::quit);
    if (engine.start(kind))
        loop.exec();
    if (!run.outcome)
        qWarning("transfer did not finish");
    QObject::disconnect(quit);
    QObject::disconnect(p);
    QObject::disconnect(f);
    return run;
}

// A unit in the test process that stores writes and answers reads from them.
void actAsMemory(PtyUnit &unit, QByteArray &memory)
{
    memory = QByteArray(address::kImageSize, '\0');
    unit.setResponder([&memory](const QByteArray &frame) {
        const int address = static_cast<std::uint8_t>(frame[3]) * 256 + static_cast<std::uint8_t>(frame[4]);
        if (frame[1] == 'E') {
            memory[address] = frame[5];
            return QByteArray("\x02\x06\x03", 3);
        }
        return QByteArray(1, kStx) + memory.at(address) + QByteArray(1, kEtx);
    });
}

} // namespace

class TestLinkTransfer : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void programVerifyRead()
    {
        QTemporaryDir dir;
        const QString saved = dir.filePath(u"unit.zel"_s);
        SimProcess sim;
        QVERIFY(sim.start({u"--save"_s, saved}));
        LinkPort port;
        QVERIFY(port.open(sim.path()).ok());
        MemoryImage image = patternImage(3);
        const MemoryImage sent = image;
        TransferEngine engine(port, image);

        const Run program = runTransfer(engine, TransferKind::Program);
        QVERIFY(program.outcome);
        QVERIFY(program.outcome->succeeded());
        QCOMPARE(program.progress.size(), address::kImageSize);
        QCOMPARE(program.progress.constFirst(), 0);
        QCOMPARE(program.progress.constLast(), address::kLastAddress);

        const Run verify = runTransfer(engine, TransferKind::Verify);
        QVERIFY(verify.outcome);
        QVERIFY(verify.outcome->succeeded());

        image.clear();
        const Run read = runTransfer(engine, TransferKind::Read);
        QVERIFY(read.outcome);
        QVERIFY(read.outcome->succeeded());
        QVERIFY(image == sent);

        port.close();
        QVERIFY(sim.stop());
        QCOMPARE(readFile(saved), bytesOf(sent));
    }

    void verifyFailsAtFirstDifferingCell()
    {
        QTemporaryDir dir;
        const QString unitFile = dir.filePath(u"unit.zel"_s);
        MemoryImage image = patternImage(5);
        QVERIFY(writeFile(unitFile, bytesOf(image)));
        SimProcess sim;
        QVERIFY(sim.start({u"--load"_s, unitFile}));
        LinkPort port;
        QVERIFY(port.open(sim.path()).ok());
        TransferEngine engine(port, image);

        // A changed message: two of its text cells differ from the unit.
        const int first = address::textStart(12) + 3;
        image.set(first, (image.at(first) + 1) % 256);
        image.set(first + 4, (image.at(first + 4) + 1) % 256);

        const Run verify = runTransfer(engine, TransferKind::Verify);
        QVERIFY(verify.outcome);
        QCOMPARE(verify.outcome->result, TransferResult::Failure);
        QCOMPARE(verify.outcome->status, Status::Mismatch);
        QCOMPARE(verify.outcome->address, first);
        QCOMPARE(verify.progress.constLast(), first);
        const text::Report report = text::outcomeReport(*verify.outcome, image);
        QVERIFY(report.text.endsWith(u"(Err: "_s + QString::number(first) + u')'));
        QCOMPARE(report.severity, text::Severity::Critical);
    }

    void readCarriesTheDataByte()
    {
        PtyUnit unit;
        QVERIFY(unit.isValid());
        const auto unitByte = [](int address) { return static_cast<char>((address * 13 + 1) % 256); };
        // Addresses 10 and 11 answer without STX in third-last position.
        unit.setResponder([&](const QByteArray &frame) {
            const int address = static_cast<std::uint8_t>(frame[3]) * 256 + static_cast<std::uint8_t>(frame[4]);
            if (address == 10 || address == 11)
                return QByteArray("ABC");
            return QByteArray(1, kStx) + unitByte(address) + QByteArray(1, kEtx);
        });
        LinkPort port;
        QVERIFY(port.open(unit.path()).ok());
        MemoryImage image;
        TransferEngine engine(port, image);

        const Run read = runTransfer(engine, TransferKind::Read);
        QVERIFY(read.outcome);
        QVERIFY(read.outcome->succeeded());
        QCOMPARE(image.at(9), int(static_cast<std::uint8_t>(unitByte(9))));
        QCOMPARE(image.at(10), image.at(9));
        QCOMPARE(image.at(11), image.at(9));
        QCOMPARE(image.at(12), int(static_cast<std::uint8_t>(unitByte(12))));

        const QList<QByteArray> &frames = unit.frames();
        QCOMPARE(frames.size(), address::kImageSize);
        QCOMPARE(frames.constFirst(), readFrame(0, 0));
        for (int a = 1; a < address::kImageSize; ++a) {
            const auto carried = static_cast<std::uint8_t>(image.at(a - 1));
            if (frames.at(a) != readFrame(a, carried))
                QFAIL(qPrintable(u"read frame %1 does not carry the byte of %2"_s.arg(a).arg(a - 1)));
        }
    }

    void linkTestFrames()
    {
        PtyUnit unit;
        QVERIFY(unit.isValid());
        QByteArray memory;
        actAsMemory(unit, memory);
        LinkPort port;
        QVERIFY(port.open(unit.path()).ok());
        MemoryImage image;
        image.set(address::kLinkTestCell, 99);
        TransferEngine engine(port, image);

        const Run test = runTransfer(engine, TransferKind::LinkTest);
        QVERIFY(test.outcome);
        QVERIFY(test.outcome->succeeded());
        QVERIFY(test.progress.isEmpty());
        QCOMPARE(image.at(address::kLinkTestCell), 0);
        const int cell = address::kLinkTestCell;
        const QList<QByteArray> expected{writeFrame(cell, 0),   readFrame(cell, 0), writeFrame(cell, 170),
                                         readFrame(cell, 0),    writeFrame(cell, 255), readFrame(cell, 0),
                                         writeFrame(cell, 0)};
        QCOMPARE(unit.frames(), expected);
        QCOMPARE(memory.at(cell), '\0');
    }

    void linkTestAgainstUnitReadingZero()
    {
        QTemporaryDir dir;
        const QString saved = dir.filePath(u"unit.zel"_s);
        SimProcess sim;
        QVERIFY(sim.start({u"--read-zero"_s, u"--save"_s, saved}));
        LinkPort port;
        QVERIFY(port.open(sim.path()).ok());
        MemoryImage image;
        image.set(address::kLinkTestCell, 99);
        TransferEngine engine(port, image);

        const Run test = runTransfer(engine, TransferKind::LinkTest);
        QVERIFY(test.outcome);
        QCOMPARE(test.outcome->result, TransferResult::Failure);
        QCOMPARE(text::outcomeReport(*test.outcome, image).text, text::linkTestFailure());
        QCOMPARE(image.at(address::kLinkTestCell), 99);

        port.close();
        QVERIFY(sim.stop());
        const QByteArray unitBytes = readFile(saved);
        QCOMPARE(unitBytes.size(), address::kImageSize);
        QCOMPARE(int(static_cast<std::uint8_t>(unitBytes.at(address::kLinkTestCell))), 170);
    }

    void unitDyingMidTransfer_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("program") << static_cast<int>(TransferKind::Program);
        QTest::newRow("read") << static_cast<int>(TransferKind::Read);
        QTest::newRow("verify") << static_cast<int>(TransferKind::Verify);
        QTest::newRow("link test") << static_cast<int>(TransferKind::LinkTest);
    }

    void unitDyingMidTransfer()
    {
        QFETCH(int, kind);
        const auto transfer = static_cast<TransferKind>(kind);
        const int dieAt = transfer == TransferKind::LinkTest ? address::kLinkTestCell : 1000;
        SimProcess sim;
        QVERIFY(sim.start({u"--die-at"_s, QString::number(dieAt)}));
        LinkPort port;
        QVERIFY(port.open(sim.path()).ok());
        MemoryImage image;   // all 0, as the unit: a read and a verify go on until the unit dies
        const MemoryImage before = image;
        TransferEngine engine(port, image);

        const Run run = runTransfer(engine, transfer);
        QVERIFY(run.outcome);
        QCOMPARE(run.outcome->result, TransferResult::Failure);
        QCOMPARE(run.outcome->status, Status::Timeout);
        QVERIFY(run.outcome->portFailed);
        QCOMPARE(run.outcome->address, dieAt);
        QVERIFY(image == before);
        QVERIFY(sim.waitForExit());
    }

    void failedReadLeavesTheImage()
    {
        QTemporaryDir dir;
        const QString unitFile = dir.filePath(u"unit.zel"_s);
        QVERIFY(writeFile(unitFile, bytesOf(patternImage(1))));
        SimProcess sim;
        QVERIFY(sim.start({u"--load"_s, unitFile, u"--silent-from"_s, u"4000"_s}));
        LinkPort port;
        QVERIFY(port.open(sim.path()).ok());
        MemoryImage image = patternImage(2);
        const MemoryImage before = image;
        TransferEngine engine(port, image);

        const Run read = runTransfer(engine, TransferKind::Read);
        QVERIFY(read.outcome);
        QCOMPARE(read.outcome->result, TransferResult::Failure);
        QCOMPARE(read.outcome->status, Status::Timeout);
        QVERIFY(!read.outcome->portFailed);
        QCOMPARE(read.outcome->address, 4000);
        QVERIFY(image == before);
        QCOMPARE(text::outcomeReport(*read.outcome, image).text, text::communicationFailure());
    }

    void cellOutOfByteRangeSendsNothing()
    {
        PtyUnit unit;
        QVERIFY(unit.isValid());
        QByteArray memory;
        actAsMemory(unit, memory);
        LinkPort port;
        QVERIFY(port.open(unit.path()).ok());
        MemoryImage image = patternImage(4);
        image.set(address::kEmptyCountCell, -3);
        TransferEngine engine(port, image);

        const Run program = runTransfer(engine, TransferKind::Program);
        QVERIFY(program.outcome);
        QCOMPARE(program.outcome->result, TransferResult::Refused);
        QCOMPARE(program.outcome->address, address::kEmptyCountCell);
        QCOMPARE(program.outcome->refusedValue, -3);
        QVERIFY(program.progress.isEmpty());
        QVERIFY(unit.frames().isEmpty());
        const QString message = text::outcomeReport(*program.outcome, image).text;
        QVERIFY(message.contains(u"8190"_s) && message.contains(u"-3"_s));
    }

    void cellsAreSentAsTheyStandWhenSent()
    {
        PtyUnit unit;
        QVERIFY(unit.isValid());
        QByteArray memory;
        actAsMemory(unit, memory);
        LinkPort port;
        QVERIFY(port.open(unit.path()).ok());
        MemoryImage image = patternImage(6);
        TransferEngine engine(port, image);

        // The periodic refresh rewrites the empty-count cell during the transfer.
        const Run program = runTransfer(engine, TransferKind::Program, [&image](int address) {
            if (address == 100)
                image.set(address::kEmptyCountCell, 77);
        });
        QVERIFY(program.outcome);
        QVERIFY(program.outcome->succeeded());
        QCOMPARE(int(static_cast<std::uint8_t>(memory.at(address::kEmptyCountCell))), 77);
        QCOMPARE(memory, bytesOf(image));
    }

    void stopAfterTheByteInProgress_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("program") << static_cast<int>(TransferKind::Program);
        QTest::newRow("read") << static_cast<int>(TransferKind::Read);
    }

    void stopAfterTheByteInProgress()
    {
        QFETCH(int, kind);
        PtyUnit unit;
        QVERIFY(unit.isValid());
        QByteArray memory;
        actAsMemory(unit, memory);
        LinkPort port;
        QVERIFY(port.open(unit.path()).ok());
        MemoryImage image = patternImage(8);
        const MemoryImage before = image;
        TransferEngine engine(port, image);

        const Run run = runTransfer(engine, static_cast<TransferKind>(kind), [&engine](int address) {
            if (address == 50)
                engine.requestStop();
        });
        QVERIFY(run.outcome);
        QCOMPARE(run.outcome->result, TransferResult::Stopped);
        QCOMPARE(unit.frames().size(), 51);
        QCOMPARE(run.progress.constLast(), 50);
        QVERIFY(image == before);
        QCOMPARE(text::outcomeReport(*run.outcome, image).text, text::stopped());
    }

    void oneTransferAtATime()
    {
        PtyUnit unit;
        QVERIFY(unit.isValid());
        QByteArray memory;
        actAsMemory(unit, memory);
        LinkPort port;
        QVERIFY(port.open(unit.path()).ok());
        MemoryImage image;
        TransferEngine engine(port, image);
        bool nestedStarted = true;
        const Run run = runTransfer(engine, TransferKind::Verify, [&](int address) {
            if (address == 10)
                nestedStarted = engine.start(TransferKind::Program);
        });
        QVERIFY(run.outcome);
        QVERIFY(run.outcome->succeeded());
        QVERIFY(!nestedStarted);
        QCOMPARE(run.progress.size(), address::kImageSize);
    }
};

QTEST_GUILESS_MAIN(TestLinkTransfer)
#include "test_link_transfer.moc"
