// One byte command at a time through the real port class over a pseudo-terminal:
// against zel-sim as its own process, and against a scripted unit for the exact
// answer shapes (short, long, garbage, late).

#include "support/PtyUnit.h"
#include "support/SimProcess.h"

#include "link/ByteCommand.h"
#include "link/LinkPort.h"
#include "link/Protocol.h"

#include <QEventLoop>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <optional>

using namespace torsa::link;
using namespace Qt::StringLiterals;

namespace {

constexpr int kWaitMs = 5000;

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (const int v : values)
        out.append(static_cast<char>(v));
    return out;
}

// Runs one command to its end.
std::optional<CommandResult> run(ByteCommand &command, Command kind, int address, int data)
{
    std::optional<CommandResult> result;
    const QMetaObject::Connection connection =
        QObject::connect(&command, &ByteCommand::finished, [&](const CommandResult &r) { result = r; });
    if (kind == Command::Write)
        command.startWrite(address, static_cast<std::uint8_t>(data));
    else
        command.startRead(address, static_cast<std::uint8_t>(data));
    if (!result) {
        QEventLoop loop;
        QObject::connect(&command, &ByteCommand::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(kWaitMs, &loop, &QEventLoop::quit);
        loop.exec();
    }
    if (!result)
        qWarning("byte command did not finish");
    QObject::disconnect(connection);
    return result;
}

} // namespace

class TestLinkPort : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void writeThenReadBack_data()
    {
        QTest::addColumn<QStringList>("simOptions");
        QTest::newRow("plain unit") << QStringList{};
        QTest::newRow("ack split across two reads") << QStringList{u"--split-ack"_s};
        QTest::newRow("junk before each answer") << QStringList{u"--junk"_s, u"5"_s};
        QTest::newRow("split ack after junk") << QStringList{u"--split-ack"_s, u"--junk"_s, u"3"_s};
        QTest::newRow("paced line, slow unit")
            << QStringList{u"--baud"_s, u"9600"_s, u"--delay-ms"_s, u"20"_s};
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

        for (const int value : {2, 3, 6, 171}) {
            const auto written = run(command, Command::Write, 256 + value, value);
            QVERIFY(written);
            QCOMPARE(written->status, Status::Done);
        }
        for (const int value : {2, 3, 6, 171}) {
            const auto read = run(command, Command::Read, 256 + value, 0);
            QVERIFY(read);
            QCOMPARE(read->status, Status::Done);
            QCOMPARE(int(read->data), value);
        }
        // The pseudo-terminal refuses DTR; that never counts as a port failure.
        QVERIFY(port.isOpen());
        QCOMPARE(lost.count(), 0);
    }

    void readAnswerShapes_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("data");
        const int done = statusValue(Status::Done);
        const int timeout = statusValue(Status::Timeout);
        QTest::newRow("STX 171 ETX") << bytes({2, 171, 3}) << done << 171;
        QTest::newRow("65 66 67 leaves the data") << bytes({65, 66, 67}) << done << 42;
        QTest::newRow("two bytes only") << bytes({2, 171}) << timeout << 42;
        QTest::newRow("nothing") << QByteArray() << timeout << 42;
        QTest::newRow("junk first, last three judged") << bytes({85, 85, 2, 171, 3}) << done << 171;
        QTest::newRow("STX not third-last") << bytes({2, 171, 3, 0}) << done << 42;
    }

    void readAnswerShapes()
    {
        QFETCH(QByteArray, answer);
        QFETCH(int, status);
        QFETCH(int, data);
        PtyUnit unit;
        QVERIFY(unit.isValid());
        unit.setResponder([&](const QByteArray &) { return answer; });
        LinkPort port;
        QVERIFY(port.open(unit.path()).ok());
        ByteCommand command(port);

        const auto result = run(command, Command::Read, 300, 42);
        QVERIFY(result);
        QCOMPARE(statusValue(result->status), status);
        QCOMPARE(int(result->data), data);
        QVERIFY(!result->portFailed);
        // Byte 6 of the frame carries the data argument as passed.
        QCOMPARE(unit.frames(), QList<QByteArray>{readFrame(300, 42)});
    }

    void staleBytesAreNoAnswer_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QByteArray>("stale");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("data");
        const int write = static_cast<int>(Command::Write);
        const int read = static_cast<int>(Command::Read);
        const int done = statusValue(Status::Done);
        const int timeout = statusValue(Status::Timeout);
        QTest::newRow("late ack, silent unit") << write << bytes({2, 6, 3}) << QByteArray() << timeout << 0;
        QTest::newRow("late read answer, silent unit") << read << bytes({2, 99, 3}) << QByteArray() << timeout << 7;
        QTest::newRow("late read answer, then the answer")
            << read << bytes({2, 99, 3}) << bytes({2, 171, 3}) << done << 171;
        QTest::newRow("half a late answer, then the answer")
            << read << bytes({2, 99}) << bytes({2, 171, 3}) << done << 171;
    }

    void staleBytesAreNoAnswer()
    {
        QFETCH(int, command);
        QFETCH(QByteArray, stale);
        QFETCH(QByteArray, answer);
        QFETCH(int, status);
        QFETCH(int, data);
        PtyUnit unit;
        QVERIFY(unit.isValid());
        unit.setResponder([&](const QByteArray &) { return answer; });
        LinkPort port;
        QVERIFY(port.open(unit.path()).ok());
        ByteCommand byteCommand(port);

        // A late answer to an earlier command, already in the port when the
        // next frame goes out.
        QSignalSpy received(&port, &LinkPort::received);
        unit.inject(stale);
        QVERIFY(received.wait(kWaitMs));

        const auto result = run(byteCommand, static_cast<Command>(command), 5, 7);
        QVERIFY(result);
        QCOMPARE(statusValue(result->status), status);
        if (static_cast<Command>(command) == Command::Read)
            QCOMPARE(int(result->data), data);
    }

    void staleInputBeforeOpenIsDropped()
    {
        PtyUnit unit;
        QVERIFY(unit.isValid());
        // Bytes that reached the line before the program opened the port.
        unit.inject(bytes({2, 99, 3, 2, 6, 3}));
        LinkPort port;
        QVERIFY(port.open(unit.path()).ok());
        ByteCommand command(port);
        const auto result = run(command, Command::Read, 5, 7);
        QVERIFY(result);
        QCOMPARE(result->status, Status::Timeout);
        QCOMPARE(int(result->data), 7);
    }

    void answerWithoutNotificationIsTakenAtTheTimeout()
    {
        PtyUnit unit;
        QVERIFY(unit.isValid());
        unit.setResponder([](const QByteArray &) { return bytes({2, 171, 3}); });
        LinkPort port;
        QVERIFY(port.open(unit.path()).ok());
        ByteCommand command(port);
        // The receive notification stalls: the answer is in the port, but
        // nobody is told.
        const QSignalBlocker stalled(port);
        const auto result = run(command, Command::Read, 5, 0);
        QVERIFY(result);
        QCOMPARE(result->status, Status::Done);
        QCOMPARE(int(result->data), 171);
    }

    void silentUnitTimesOut_data()
    {
        QTest::addColumn<int>("command");
        QTest::newRow("write") << static_cast<int>(Command::Write);
        QTest::newRow("read") << static_cast<int>(Command::Read);
    }

    void silentUnitTimesOut()
    {
        QFETCH(int, command);
        SimProcess sim;
        QVERIFY(sim.start({u"--silent-from"_s, u"0"_s}));
        LinkPort port;
        QVERIFY(port.open(sim.path()).ok());
        ByteCommand byteCommand(port);
        const auto result = run(byteCommand, static_cast<Command>(command), 8191, 9);
        QVERIFY(result);
        QCOMPARE(result->status, Status::Timeout);
        QCOMPARE(int(result->data), 9);
        QVERIFY(!result->portFailed);
        QVERIFY(port.isOpen());
    }

    void unitGoneDuringCommand()
    {
        SimProcess sim;
        QVERIFY(sim.start({u"--die-at"_s, u"5"_s}));
        LinkPort port;
        QSignalSpy lost(&port, &LinkPort::lost);
        QVERIFY(port.open(sim.path()).ok());
        ByteCommand command(port);
        const auto result = run(command, Command::Write, 5, 1);
        QVERIFY(result);
        QCOMPARE(result->status, Status::Timeout);
        QVERIFY(result->portFailed);   // ended by the port, not by the time-out
        QVERIFY(!port.isOpen());
        QCOMPARE(lost.count(), 1);

        // Once closed, the port stays quiet; the next command fails at once.
        const auto next = run(command, Command::Read, 6, 0);
        QVERIFY(next);
        QVERIFY(next->portFailed);
        QCOMPARE(lost.count(), 1);
    }

    void unitGoneWhileIdleIsReportedOnce()
    {
        SimProcess sim;
        QVERIFY(sim.start());
        LinkPort port;
        QSignalSpy lost(&port, &LinkPort::lost);
        QVERIFY(port.open(sim.path()).ok());
        QVERIFY(sim.stop());
        QVERIFY(lost.wait(kWaitMs));
        QVERIFY(!port.isOpen());
        // Left open, the port would raise the error again at full speed.
        QVERIFY(!lost.wait(300));
        QCOMPARE(lost.count(), 1);
    }

    void openFailures_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<int>("error");
        QTest::newRow("no such device") << u"/dev/torsa-no-such-port"_s
                                        << static_cast<int>(LinkPort::OpenError::NotFound);
        QTest::newRow("not a serial device") << u"/dev/null"_s << static_cast<int>(LinkPort::OpenError::Other);
    }

    void openFailures()
    {
        QFETCH(QString, device);
        QFETCH(int, error);
        LinkPort port;
        const LinkPort::OpenResult result = port.open(device);
        QCOMPARE(static_cast<int>(result.error), error);
        QVERIFY(!port.isOpen());
    }
};

QTEST_GUILESS_MAIN(TestLinkPort)
#include "test_link_port.moc"
