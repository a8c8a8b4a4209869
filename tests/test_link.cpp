// The device link: frames, answer recognition, texts and COMn naming as pure
// functions; one byte command at a time through the real port class on a
// pseudo-terminal, against zel-sim as its own process and against a scripted
// unit for the answer shapes the simulator does not make; then the transfer
// engine against a unit in the test process, where every frame is seen. The
// round trip of a whole image runs in test_link_cli.

#include "support/FileBytes.h"
#include "support/PtyUnit.h"
#include "support/SimProcess.h"

#include "link/AdapterLatency.h"
#include "link/ByteCommand.h"
#include "link/LinkPace.h"
#include "link/LinkPort.h"
#include "link/PortNames.h"
#include "link/Protocol.h"
#include "link/SerialPorts.h"
#include "link/SlowLinkTexts.h"
#include "link/TransferEngine.h"
#include "link/TransferTexts.h"
#include "link/WindowsPorts.h"
#include "store/AddressMap.h"
#include "store/MemoryImage.h"

#include <QElapsedTimer>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <optional>

using namespace torsa;
using namespace torsa::link;
using namespace Qt::StringLiterals;

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (const int v : values)
        out.append(static_cast<char>(v));
    return out;
}

constexpr int kWaitMs = 5000;

// Runs one command to its end (the spy waits in an event loop, without sleeping).
std::optional<CommandResult> run(ByteCommand &command, Command kind, int address, int data)
{
    QSignalSpy finished(&command, &ByteCommand::finished);
    if (kind == Command::Write)
        command.startWrite(address, static_cast<std::uint8_t>(data));
    else
        command.startRead(address, static_cast<std::uint8_t>(data));
    if (finished.isEmpty() && !finished.wait(kWaitMs))
        return std::nullopt;
    return finished.first().first().value<CommandResult>();
}

// Runs one transfer to its end; onProgress may act in the middle of it.
std::optional<TransferOutcome> runTransfer(
    TransferEngine &engine, TransferKind kind, const std::function<void(int)> &onProgress = [](int) {})
{
    const QObject context;
    QObject::connect(&engine, &TransferEngine::progress, &context, onProgress);
    QSignalSpy finished(&engine, &TransferEngine::finished);
    if (!engine.start(kind) || (finished.isEmpty() && !finished.wait(120000)))
        return std::nullopt;
    return finished.first().first().value<TransferOutcome>();
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

class TestLink : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void frames()
    {
        QCOMPARE(writeFrame(0, 2), bytes({2, 69, 67, 0, 0, 2, 3}));
        QCOMPARE(writeFrame(256, 3), bytes({2, 69, 67, 1, 0, 3, 3}));
        QCOMPARE(writeFrame(8191, 6), bytes({2, 69, 67, 31, 255, 6, 3}));
        QCOMPARE(readFrame(8191, 171), bytes({2, 76, 73, 31, 255, 171, 3}));
    }

    // Texts, with their odd spaces and line ends, that the window and
    // command-line tests do not already compare.
    void texts()
    {
        QCOMPARE(text::percent(81), u"  0%  effectuée"_s);
        QCOMPARE(text::percent(82), u"  1%  effectuée"_s);
        QCOMPARE(text::confirmation(TransferKind::Verify), u"Commencer la vérification ? "_s);
        QCOMPARE(text::activity(TransferKind::Read), u"    Lecture en cours..."_s);
        QCOMPARE(text::timeProgress(1500, 0), u"Temps écoulé 0:02, reste --:--"_s);
        QCOMPARE(text::timeProgress(42000, 4096), u"Temps écoulé 0:42, reste 0:42"_s);
    }

    // COMn on Linux: USB adapters first, then the others, each group by name
    // with numbers compared as numbers; TORSA_COMn overrides.
    void comNaming()
    {
        QCOMPARE(
            comOrder({u"/dev/ttyS10"_s, u"/dev/ttyUSB10"_s, u"/dev/ttyS2"_s, u"/dev/ttyACM0"_s, u"/dev/ttyUSB2"_s}),
            (QStringList{u"/dev/ttyACM0"_s, u"/dev/ttyUSB2"_s, u"/dev/ttyUSB10"_s, u"/dev/ttyS2"_s, u"/dev/ttyS10"_s}));
        const QStringList present{u"/dev/ttyS0"_s, u"/dev/ttyUSB0"_s};
        QCOMPARE(comDevice(1, std::nullopt, present), u"/dev/ttyUSB0"_s);
        QCOMPARE(comDevice(2, std::nullopt, present), u"/dev/ttyS0"_s);
        QCOMPARE(comDevice(3, std::nullopt, present), QString());
        QCOMPARE(comDevice(3, u"/tmp/zel"_s, present), u"/tmp/zel"_s);
        QCOMPARE(comDevice(1, u""_s, present), u"/dev/ttyUSB0"_s);
        QVERIFY(comNumberOf(u"com4"_s) == 4 && !comNumberOf(u"COM5"_s) && !comNumberOf(u"/dev/ttyUSB0"_s));
        QCOMPARE(devicePathFor(u"/dev/ttyUSB0"_s), u"/dev/ttyUSB0"_s);

        // Windows' names, on any platform: \\.\COMn, the only form the API
        // takes above COM9; the status tip names the adapter; a refused port is
        // one another program holds, as Windows has no dialout group.
        QCOMPARE(windows::systemPortPath(u"com12"_s), u"\\\\.\\COM12"_s);
        QCOMPARE(windows::systemPortPath(u"COM0"_s), u"COM0"_s);
        const QString adapter = u"Prolific USB-to-Serial Comm Port (COM3)"_s;
        const QList<windows::ListedPort> listed{{u"COM3"_s, adapter}, {u"COM4"_s, QString()}};
        QCOMPARE(windows::comStatusTip(1, u"\\\\.\\COM1"_s, listed),
                 u"COM1 : aucun port série correspondant sur ce poste"_s);
        QCOMPARE(windows::comStatusTip(2, u"\\\\.\\COM3"_s, listed), u"COM2 : "_s + adapter);
        QCOMPARE(windows::comStatusTip(2, u"\\\\.\\COM9"_s, listed), u"COM2 : COM9"_s);
        QCOMPARE(text::portOpenFailed(u"COM3"_s, LinkPort::OpenError::PermissionDenied, Platform::Windows),
                 u"L'ouverture du port COM3 à échouée !\r\nAccès refusé : le port est pris par un autre programme."_s);
    }

    // A USB adapter that holds the answers: the line's own pace and the margin
    // (a 1 ms timer says nothing, the default 16 ms one does), what to do on
    // each platform with each adapter, the figures said.
    void slowLinkDecisions()
    {
        QCOMPARE(lineCommandUs(), 10416);
        QVERIFY(!holdsAnswers(11000) && !holdsAnswers(lineCommandUs() + kSlowLinkMarginUs) && holdsAnswers(16000));
        CommandTimes times;
        for (const std::int64_t us : {16000, 3000, 16100, 400000, 15900})
            times.add(us);
        QCOMPARE(times.medianUs(), 16000);

        using enum LowLatencyRequest;
        const AdapterTimer ftdi{NotMade, 16, u"HKEY_LOCAL_MACHINE\\...\\Device Parameters"_s};
        const AdapterTimer refused{Refused, 16, u"/sys/bus/usb-serial/devices/ttyUSB0/latency_timer"_s};
        struct Row {
            Platform platform;
            AdapterTimer adapter;
            SlowLinkAdvice advice;
        };
        for (const auto &[platform, adapter, advice] :
             {Row{Platform::Windows, ftdi, SlowLinkAdvice::LowerRegistryTimer},
              Row{Platform::Windows, {NotMade, 1, {}}, SlowLinkAdvice::SlowAdapter},
              Row{Platform::Windows, {}, SlowLinkAdvice::SlowAdapter},
              Row{Platform::Linux, refused, SlowLinkAdvice::UdevRule},
              Row{Platform::Linux, {Honoured, 1, {}}, SlowLinkAdvice::SlowAdapter},
              Row{Platform::Linux, {Refused, {}, {}}, SlowLinkAdvice::SlowAdapter}})
            QCOMPARE(adviceFor(platform, adapter), advice);

        const QString told = text::slowLink(u"COM7"_s, 16000, ftdi, Platform::Windows).value_or(QString());
        QCOMPARE(told.section(u'\n', 0, 0),
                 u"Liaison lente : 16,0 ms par commande au lieu de 10,4 ms au rythme de "
                 "la ligne, soit 131,1 s par passe au lieu de 85,3 s."_s);
        QVERIFY(told.contains(u"16 ms (HKEY_LOCAL_MACHINE"_s) && told.contains(u"torsa-cli latency COM7 1"_s));
        QVERIFY(text::slowLink(u"/dev/ttyUSB0"_s, 16000, refused, Platform::Linux)->contains(u"ATTR{latency_timer}"_s));
        QVERIFY(!text::slowLink(u"COM7"_s, 11000, ftdi, Platform::Windows) && !text::slowLink(u"COM7"_s, {}, ftdi));
    }

    // The ports present that no COM item stands for become items of their own,
    // in COM order, the checked one kept while gone; `torsa-cli ports` names all.
    void otherPorts()
    {
        const ComDevices com{u"/dev/ttyUSB0"_s, u"/dev/ttyS0"_s, u"/tmp/zel"_s, QString()};
        const QList<PresentPort> present{{u"/dev/ttyUSB10"_s, u"FT232R USB UART"_s, 0x0403, 0x6001, u"A50285BI"_s, 16},
                                         {u"/dev/ttyS0"_s, QString(), {}, {}, {}, {}},
                                         {u"/dev/ttyS4"_s, QString(), {}, {}, {}, {}},
                                         {u"/dev/ttyUSB0"_s, u"CP2102"_s, 0x10c4, 0xea60, QString(), {}}};
        const ExtraPortItem gone{u"/dev/ttyACM3"_s, u"/dev/ttyACM3 : Arduino"_s};
        const std::vector<ExtraPortItem> others{{u"/dev/ttyUSB10"_s, u"/dev/ttyUSB10 : FT232R USB UART"_s},
                                                {u"/dev/ttyS4"_s, u"/dev/ttyS4"_s}};
        QVERIFY(extraPortItems(present, com, std::nullopt) == others);
        QVERIFY(extraPortItems(present, com, gone) == (std::vector{gone, others[0], others[1]}));
        QVERIFY(extraPortItems(present, com, others[1]) == others);
        QCOMPARE(portLines(present, com),
                 u"/dev/ttyUSB10  -     FT232R USB UART  0403:6001  A50285BI  latence 16 ms\n"
                 "/dev/ttyS0     COM2  -\n"
                 "/dev/ttyS4     -     -\n"
                 "/dev/ttyUSB0   COM1  CP2102           10c4:ea60\n"_s);
    }

    // zel-sim as a faulty or slow unit, then gone.
    void writeThenReadBack_data()
    {
        QTest::addColumn<QStringList>("simOptions");
        QTest::newRow("ack split across two reads") << QStringList{u"--split-ack"_s};
        QTest::newRow("junk before each answer") << QStringList{u"--junk"_s, u"5"_s};
        QTest::newRow("paced line, slow unit") << QStringList{u"--baud"_s, u"9600"_s, u"--delay-ms"_s, u"20"_s};
    }

    void writeThenReadBack()
    {
        QFETCH(QStringList, simOptions);
        SimProcess sim;
        QVERIFY(sim.start(simOptions));
        LinkPort port;
        QSignalSpy lost(&port, &LinkPort::lost);
        QVERIFY(port.open(sim.path()).ok());
        ByteCommand command(port);
        for (const int value : {2, 3, 6, 171})
            QCOMPARE(run(command, Command::Write, 256 + value, value).value().status, Status::Done);
        for (const int value : {2, 3, 6, 171}) {
            const CommandResult read = run(command, Command::Read, 256 + value, 0).value();
            QCOMPARE(read.status, Status::Done);
            QCOMPARE(int(read.data), value);
        }
        // The pseudo-terminal refuses DTR; that never counts as a port failure.
        QVERIFY(port.isOpen() && lost.isEmpty());

        // The port raises its read error again and again unless closed: the
        // loss of the unit is reported once and the next command fails at once.
        QVERIFY(sim.stop());
        QVERIFY(lost.wait(kWaitMs));
        QVERIFY(!port.isOpen());
        QVERIFY(run(command, Command::Read, 6, 0).value().portFailed);
        QCOMPARE(lost.count(), 1);
    }

    // A late answer to an earlier command, already waiting when the frame goes
    // out, is no answer. An answer the port holds without having said so (its
    // receive notification can stall after a zero-byte read) is still taken at
    // the time-out. A time-out comes 0.4 s after the frame, never sooner, and
    // well before a second (room left for a loaded machine).
    void scriptedAnswers_data()
    {
        QTest::addColumn<QByteArray>("stale");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<bool>("stalled");
        QTest::addColumn<Status>("status");
        QTest::addColumn<int>("data");
        QTest::newRow("two bytes only") << QByteArray() << bytes({2, 171}) << false << Status::Timeout << 42;
        QTest::newRow("late answer, silent unit")
            << bytes({2, 99, 3}) << QByteArray() << false << Status::Timeout << 42;
        QTest::newRow("notification stalled") << QByteArray() << bytes({2, 171, 3}) << true << Status::Done << 171;
    }

    void scriptedAnswers()
    {
        QFETCH(QByteArray, stale);
        QFETCH(QByteArray, answer);
        QFETCH(bool, stalled);
        QFETCH(Status, status);
        QFETCH(int, data);
        PtyUnit unit;
        QVERIFY(unit.isValid());
        unit.setResponder([&](const QByteArray &) { return answer; });
        LinkPort port;
        QVERIFY(port.open(unit.path()).ok());
        if (!stale.isEmpty()) {
            QSignalSpy received(&port, &LinkPort::received);
            unit.inject(stale);
            QVERIFY(received.wait(kWaitMs));
        }
        ByteCommand byteCommand(port);
        port.blockSignals(stalled);
        QElapsedTimer elapsed;
        elapsed.start();
        const CommandResult result = run(byteCommand, Command::Read, 300, 42).value();
        const qint64 ms = elapsed.elapsed();
        QVERIFY2(status != Status::Timeout || (ms >= 399 && ms < 800), qPrintable(QString::number(ms)));
        QVERIFY(result.status == status && int(result.data) == data);
        QVERIFY(!result.portFailed && port.isOpen());
        QCOMPARE(unit.frames(), QList<QByteArray>{readFrame(300, 42)});
    }

    // zel-sim paces its line at 10 bits a byte (start, 8 data, stop) and logs
    // the gap before each frame in microseconds: six writes of 7 + 3 bytes at
    // 600 baud, 50 ms apart. Lower bounds: a loaded machine is slower, never faster.
    void simulatorPacingAndGapLog()
    {
        QTemporaryDir dir;
        const QString gapLog = dir.filePath(u"gaps.txt"_s);
        SimProcess sim;
        QVERIFY(sim.start({u"--baud"_s, u"600"_s, u"--gap-log"_s, gapLog}));
        LinkPort port;
        QVERIFY(port.open(sim.path()).ok());
        ByteCommand command(port);
        QElapsedTimer elapsed;
        elapsed.start();
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(run(command, Command::Write, i, i).value().status, Status::Done);
            QTest::qWait(50);
        }
        QCOMPARE_GE(elapsed.elapsed(), 6 * (50 + (kFrameSize + 3) * 10 * 1000 / 600));
        QVERIFY(sim.stop());
        const QList<QByteArray> gaps = testing::readFile(gapLog).trimmed().split('\n');
        QCOMPARE(gaps.size(), 5);
        for (const QByteArray &gap : gaps)
            QVERIFY2(gap.toLongLong() >= 50'000 && gap.toLongLong() < 1'000'000, gap.constData());
    }

    // An answer without STX third-last keeps the data byte, and each read
    // frame carries the byte read before it.
    void readCarriesTheDataByte()
    {
        MemoryUnit f;
        for (int a = 0; a < address::kImageSize; ++a)
            f.memory[a] = static_cast<char>((a * 13 + 1) % 256);
        f.garbled = {10, 11};
        const TransferOutcome outcome = runTransfer(f.engine, TransferKind::Read).value();
        QVERIFY(outcome.succeeded() && outcome.readImage && f.image == MemoryImage());
        const MemoryImage &read = *outcome.readImage;
        QVERIFY(read.at(10) == read.at(9) && read.at(11) == read.at(9));
        QCOMPARE(read.at(12), (12 * 13 + 1) % 256);
        const QList<QByteArray> &frames = f.unit.frames();
        QVERIFY(frames.size() == address::kImageSize && frames.constFirst() == readFrame(0, 0));
        for (int a = 1; a < address::kImageSize; ++a) {
            if (frames.at(a) != readFrame(a, static_cast<std::uint8_t>(read.at(a - 1))))
                QFAIL(qPrintable(u"read frame %1 does not carry the byte of %2"_s.arg(a).arg(a - 1)));
        }
    }

    // The link test writes 0, 170, 255 and 0 to cell 8191, reading each back;
    // a unit reading 0 fails at 170 and keeps it. The engine leaves the image
    // alone (the session writes its cell).
    void linkTest()
    {
        const int cell = address::kLinkTestCell;
        for (const bool readsZero : {false, true}) {
            MemoryUnit f;
            f.readsZero = readsZero;
            bool progressShown = false;
            QCOMPARE(runTransfer(f.engine, TransferKind::LinkTest, [&](int) { progressShown = true; })->succeeded(),
                     !readsZero);
            QVERIFY(!progressShown && f.image == MemoryImage());
            QCOMPARE(f.memory.at(cell), char(readsZero ? 170 : 0));
            QList<QByteArray> frames{writeFrame(cell, 0), readFrame(cell, 0), writeFrame(cell, 170),
                                     readFrame(cell, 0)};
            if (!readsZero)
                frames << writeFrame(cell, 255) << readFrame(cell, 0) << writeFrame(cell, 0);
            QCOMPARE(f.unit.frames(), frames);
        }
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
        const auto outcome = runTransfer(f.engine, TransferKind::Program, [&f, &nestedStarted](int address) {
            if (address == 10) {
                nestedStarted = f.engine.start(TransferKind::Verify);
                f.image.set(30, 77);
            }
            if (address == 50)
                f.engine.requestStop();
        });
        QVERIFY(!nestedStarted && outcome->result == TransferResult::Stopped && f.unit.frames().size() == 51);
        MemoryImage expected;
        expected.set(7, 8);
        expected.set(30, 77);
        QVERIFY(f.image == expected);
        QCOMPARE(f.memory.left(51), testing::bytesOf(expected).left(51));
    }
};

QTEST_GUILESS_MAIN(TestLink)
#include "test_link.moc"
