// Programming, reading, verification and the link test through the transfer
// engine: against zel-sim as its own process, and against a unit in the test
// process where every frame must be seen.

#include "support/FileBytes.h"
#include "support/PtyUnit.h"
#include "support/SimProcess.h"

#include "link/LinkPort.h"
#include "link/Protocol.h"
#include "link/TransferEngine.h"
#include "store/AddressMap.h"
#include "store/MemoryImage.h"

#include <QRandomGenerator>
#include <QSet>
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
// memory (or with 0), or with "ABC" at the garbled addresses.
struct MemoryUnit {
    PtyUnit unit;
    QByteArray memory = QByteArray(address::kImageSize, '\0');
    QSet<int> garbled;
    bool readsZero = false;
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
            const char byte = readsZero ? '\0' : memory.at(a);
            return garbled.contains(a) ? QByteArray("ABC") : QByteArray(1, kStx) + byte + kEtx;
        });
        if (unit.isValid())
            port.open(unit.path());
    }
};

} // namespace

class TestLinkTransfer : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Any image (random bytes, the protocol's own 2, 3 and 6 among them)
    // programmed into zel-sim verifies and reads back the same.
    void programVerifyRead()
    {
        QRandomGenerator random(20240611);
        MemoryImage image;
        for (int a = 0; a < address::kImageSize; ++a)
            image.set(a, random.bounded(256));
        const MemoryImage sent = image;
        SimProcess sim;
        QVERIFY(sim.start());
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

    // The link test writes 0, 170, 255 and 0 to cell 8191, reading each back;
    // a unit reading 0 fails at 170 and keeps it, and the image keeps its cell.
    void linkTest()
    {
        const int cell = address::kLinkTestCell;
        for (const bool readsZero : {false, true}) {
            MemoryUnit f;
            f.readsZero = readsZero;
            f.image.set(cell, 99);
            const Run test = runTransfer(f.engine, TransferKind::LinkTest);
            QVERIFY(test.outcome && test.progress.isEmpty());
            QCOMPARE(test.outcome->succeeded(), !readsZero);
            QCOMPARE(f.image.at(cell), readsZero ? 99 : 0);
            QCOMPARE(f.memory.at(cell), char(readsZero ? 170 : 0));
            QList<QByteArray> frames{writeFrame(cell, 0), readFrame(cell, 0), writeFrame(cell, 170),
                                     readFrame(cell, 0)};
            if (!readsZero)
                frames << writeFrame(cell, 255) << readFrame(cell, 0) << writeFrame(cell, 0);
            QCOMPARE(f.unit.frames(), frames);
        }
    }

    // A unit that dies mid-read ends it as a port failure at that address, and
    // the failed read replaces nothing.
    void unitDyingMidRead()
    {
        SimProcess sim;
        QVERIFY(sim.start({u"--die-at"_s, u"1000"_s}));
        LinkPort port;
        QVERIFY(port.open(sim.path()).ok());
        MemoryImage image;
        image.set(7, 8);
        TransferEngine engine(port, image);
        const Run run = runTransfer(engine, TransferKind::Read);
        QVERIFY(run.outcome);
        QCOMPARE(run.outcome->result, TransferResult::Failure);
        QCOMPARE(run.outcome->status, Status::Timeout);
        QVERIFY(run.outcome->portFailed);
        QCOMPARE(run.outcome->address, 1000);
        QCOMPARE(image.at(7), 8);
        QVERIFY(sim.waitForExit());
    }

    // A stop ends the transfer after the byte in progress; a second transfer
    // cannot start inside the first. The periodic refresh rewrites cells
    // meanwhile: each goes out as it stands when sent.
    void stopAfterTheByteInProgress()
    {
        MemoryUnit f;
        f.memory.fill('\x55');
        f.image.set(7, 8);
        bool nestedStarted = false;
        const Run run = runTransfer(f.engine, TransferKind::Program, [&f, &nestedStarted](int address) {
            if (address == 10) {
                nestedStarted = f.engine.start(TransferKind::Verify);
                f.image.set(30, 77);
            }
            if (address == 50)
                f.engine.requestStop();
        });
        QVERIFY(!nestedStarted && run.outcome);
        QCOMPARE(run.outcome->result, TransferResult::Stopped);
        QCOMPARE(f.unit.frames().size(), 51);
        MemoryImage expected;
        expected.set(7, 8);
        expected.set(30, 77);
        QVERIFY(f.image == expected);
        QCOMPARE(f.memory.left(51), bytesOf(expected).left(51));
    }
};

QTEST_GUILESS_MAIN(TestLinkTransfer)
#include "test_link_transfer.moc"
