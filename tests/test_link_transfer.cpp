// Programming, reading, verification and the link test through the transfer
// engine: against zel-sim as its own process, and against a unit in the test
// process where every frame must be seen.

#include "support/FileBytes.h"
#include "support/CliProcess.h"
#include "support/PtyUnit.h"
#include "support/SimProcess.h"

#include "link/LinkPort.h"
#include "link/Protocol.h"
#include "link/TransferEngine.h"
#include "link/TransferTexts.h"
#include "store/AddressMap.h"
#include "store/MemoryImage.h"

#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <optional>

using namespace torsa;
using namespace torsa::link;
using namespace Qt::StringLiterals;

namespace {

using testing::bytesOf;

struct Run {
    std::optional<TransferOutcome> outcome;
    QList<int> progress;
};

// Runs one transfer to its end; onProgress may act in the middle of it.
Run runTransfer(TransferEngine &engine, TransferKind kind, const std::function<void(int)> &onProgress = {})
{
    Run run;
    const QObject context;
    QObject::connect(&engine, &TransferEngine::progress, &context, [&](int address) {
        run.progress.append(address);
        if (onProgress)
            onProgress(address);
    });
    QSignalSpy finished(&engine, &TransferEngine::finished);
    if (engine.start(kind) && (!finished.isEmpty() || finished.wait(120000)))
        run.outcome = finished.first().first().value<TransferOutcome>();
    return run;
}

// A unit in the test process that stores writes and answers reads from its
// memory, or with "ABC" at the garbled addresses.
struct MemoryUnit {
    PtyUnit unit;
    QByteArray memory = QByteArray(address::kImageSize, '\0');
    QSet<int> garbled;
    LinkPort port;
    MemoryImage image;
    TransferEngine engine{port, image};

    MemoryUnit()
    {
        unit.setResponder([this](const QByteArray &frame) {
            const int a = static_cast<std::uint8_t>(frame[3]) * 256 + static_cast<std::uint8_t>(frame[4]);
            if (frame[1] == 'E') {
                memory[a] = frame[5];
                return QByteArray("\x02\x06\x03", 3);
            }
            return garbled.contains(a) ? QByteArray("ABC") : QByteArray(1, kStx) + memory.at(a) + kEtx;
        });
        if (unit.isValid())
            port.open(unit.path());
    }
};

} // namespace

class TestLinkTransfer : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Any image programmed into zel-sim verifies and reads back the same, and
    // the unit's EEPROM holds it.
    void programVerifyRead_data()
    {
        QTest::addColumn<QList<int>>("cycle");   // repeated over the image; empty: random
        QTest::newRow("random bytes") << QList<int>{};
        QTest::newRow("all 255") << QList<int>{255};
        QTest::newRow("the protocol's own bytes") << QList<int>{2, 3, 6};
    }

    void programVerifyRead()
    {
        QFETCH(QList<int>, cycle);
        QRandomGenerator random(20240611);
        MemoryImage image;
        for (int a = 0; a < address::kImageSize; ++a)
            image.set(a, cycle.isEmpty() ? random.bounded(256) : cycle.at(a % cycle.size()));
        const MemoryImage sent = image;
        QTemporaryDir dir;
        const QString saved = dir.filePath(u"unit.zel"_s);
        SimProcess sim;
        QVERIFY(sim.start({u"--save"_s, saved}));
        LinkPort port;
        QVERIFY(port.open(sim.path()).ok());
        TransferEngine engine(port, image);

        const Run program = runTransfer(engine, TransferKind::Program);
        QVERIFY(program.outcome && program.outcome->succeeded());
        QCOMPARE(program.progress.size(), address::kImageSize);
        QCOMPARE(program.progress.constLast(), address::kLastAddress);
        const Run verify = runTransfer(engine, TransferKind::Verify);
        QVERIFY(verify.outcome && verify.outcome->succeeded());
        image.clear();
        const Run read = runTransfer(engine, TransferKind::Read);
        QVERIFY(read.outcome && read.outcome->succeeded());
        QVERIFY(image == sent);
        port.close();
        QVERIFY(sim.stop());
        QCOMPARE(testing::readFile(saved), bytesOf(sent));
    }

    // An answer without STX third-last keeps the data byte, and each read
    // frame carries the byte read before it.
    void readCarriesTheDataByte()
    {
        MemoryUnit f;
        for (int a = 0; a < address::kImageSize; ++a)
            f.memory[a] = static_cast<char>((a * 13 + 1) % 256);
        f.garbled = {10, 11};
        const Run read = runTransfer(f.engine, TransferKind::Read);
        QVERIFY(read.outcome && read.outcome->succeeded());
        QCOMPARE(f.image.at(9), (9 * 13 + 1) % 256);
        QCOMPARE(f.image.at(10), f.image.at(9));
        QCOMPARE(f.image.at(11), f.image.at(9));
        QCOMPARE(f.image.at(12), (12 * 13 + 1) % 256);
        const QList<QByteArray> &frames = f.unit.frames();
        QCOMPARE(frames.size(), address::kImageSize);
        QCOMPARE(frames.constFirst(), readFrame(0, 0));
        for (int a = 1; a < address::kImageSize; ++a) {
            if (frames.at(a) != readFrame(a, static_cast<std::uint8_t>(f.image.at(a - 1))))
                QFAIL(qPrintable(u"read frame %1 does not carry the byte of %2"_s.arg(a).arg(a - 1)));
        }
    }

    void linkTestFrames()
    {
        MemoryUnit f;
        const int cell = address::kLinkTestCell;
        f.image.set(cell, 99);
        const Run test = runTransfer(f.engine, TransferKind::LinkTest);
        QVERIFY(test.outcome && test.outcome->succeeded());
        QVERIFY(test.progress.isEmpty());
        QCOMPARE(f.image.at(cell), 0);
        QCOMPARE(f.unit.frames(), (QList<QByteArray>{writeFrame(cell, 0), readFrame(cell, 0), writeFrame(cell, 170),
                                                     readFrame(cell, 0), writeFrame(cell, 255), readFrame(cell, 0),
                                                     writeFrame(cell, 0)}));
    }

    void unitDyingMidTransfer_data()
    {
        QTest::addColumn<TransferKind>("kind");
        QTest::newRow("program") << TransferKind::Program;
        QTest::newRow("read") << TransferKind::Read;
        QTest::newRow("verify") << TransferKind::Verify;
        QTest::newRow("link test") << TransferKind::LinkTest;
    }

    void unitDyingMidTransfer()
    {
        QFETCH(TransferKind, kind);
        const int dieAt = kind == TransferKind::LinkTest ? address::kLinkTestCell : 1000;
        SimProcess sim;
        QVERIFY(sim.start({u"--die-at"_s, QString::number(dieAt)}));
        LinkPort port;
        QVERIFY(port.open(sim.path()).ok());
        MemoryImage image;   // all 0, as the unit: a read and a verify go on until the unit dies
        TransferEngine engine(port, image);
        const Run run = runTransfer(engine, kind);
        QVERIFY(run.outcome);
        QCOMPARE(run.outcome->result, TransferResult::Failure);
        QCOMPARE(run.outcome->status, Status::Timeout);
        QVERIFY(run.outcome->portFailed);
        QCOMPARE(run.outcome->address, dieAt);
        QVERIFY(image == MemoryImage{});
        QVERIFY(sim.waitForExit());
    }

    // A stop ends the transfer after the byte in progress and leaves the image
    // as it was; a second transfer cannot start inside the first. The periodic
    // refresh rewrites cells meanwhile: each goes out as it stands when sent.
    void stopAfterTheByteInProgress_data()
    {
        QTest::addColumn<TransferKind>("kind");
        QTest::newRow("program") << TransferKind::Program;
        QTest::newRow("read") << TransferKind::Read;
    }

    void stopAfterTheByteInProgress()
    {
        QFETCH(TransferKind, kind);
        MemoryUnit f;
        f.memory.fill('\x55');
        f.image.set(7, 8);
        bool nestedStarted = false;
        const Run run = runTransfer(f.engine, kind, [&f, &nestedStarted](int address) {
            if (address == 10) {
                nestedStarted = f.engine.start(TransferKind::Verify);
                f.image.set(30, 77);
            }
            if (address == 50)
                f.engine.requestStop();
        });
        QVERIFY(!nestedStarted);
        QVERIFY(run.outcome);
        QCOMPARE(run.outcome->result, TransferResult::Stopped);
        QCOMPARE(f.unit.frames().size(), 51);
        QCOMPARE(run.progress.constLast(), 50);
        MemoryImage expected;
        expected.set(7, 8);
        expected.set(30, 77);
        QVERIFY(f.image == expected);
        if (kind == TransferKind::Program)
            QCOMPARE(f.memory.left(51), bytesOf(expected).left(51));
        QCOMPARE(text::outcomeReport(*run.outcome, f.image).text, text::stopped());
    }
};

QTEST_GUILESS_MAIN(TestLinkTransfer)
#include "test_link_transfer.moc"
