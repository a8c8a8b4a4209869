// The unit's byte protocol and the device link's texts, as pure functions:
// frame bytes, answer recognition, percentages, reports, COMn order.

#include "link/PortNames.h"
#include "link/Protocol.h"
#include "link/TransferTexts.h"
#include "store/AddressMap.h"
#include "store/MemoryImage.h"

#include <QTest>

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

} // namespace

class TestLinkProtocol : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void frames_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("data");
        QTest::addColumn<QByteArray>("expected");
        const int write = static_cast<int>(Command::Write);
        const int read = static_cast<int>(Command::Read);
        QTest::newRow("write 0 data 2") << write << 0 << 2 << bytes({2, 69, 67, 0, 0, 2, 3});
        QTest::newRow("write 256 data 3") << write << 256 << 3 << bytes({2, 69, 67, 1, 0, 3, 3});
        QTest::newRow("write 8191 data 6") << write << 8191 << 6 << bytes({2, 69, 67, 31, 255, 6, 3});
        QTest::newRow("write 300 data 255") << write << 300 << 255 << bytes({2, 69, 67, 1, 44, 255, 3});
        QTest::newRow("read 0 data 0") << read << 0 << 0 << bytes({2, 76, 73, 0, 0, 0, 3});
        QTest::newRow("read 256 carries 171") << read << 256 << 171 << bytes({2, 76, 73, 1, 0, 171, 3});
        QTest::newRow("read 8191 carries 2") << read << 8191 << 2 << bytes({2, 76, 73, 31, 255, 2, 3});
    }

    void frames()
    {
        QFETCH(int, command);
        QFETCH(int, address);
        QFETCH(int, data);
        QFETCH(QByteArray, expected);
        const auto byte = static_cast<std::uint8_t>(data);
        const QByteArray built = command == static_cast<int>(Command::Write) ? writeFrame(address, byte)
                                                                              : readFrame(address, byte);
        QCOMPARE(built, expected);
    }

    void writeAck_data()
    {
        QTest::addColumn<QByteArray>("received");
        QTest::addColumn<bool>("acknowledged");
        QTest::newRow("exact") << bytes({2, 6, 3}) << true;
        QTest::newRow("after junk") << bytes({85, 85, 0, 2, 6, 3}) << true;
        QTest::newRow("followed by more") << bytes({2, 6, 3, 2}) << true;
        QTest::newRow("only the first piece of a split ack") << bytes({2}) << false;
        QTest::newRow("split ack gathered") << bytes({2}) + bytes({6, 3}) << true;
        QTest::newRow("not adjacent") << bytes({2, 6, 0, 3}) << false;
        QTest::newRow("wrong order") << bytes({6, 2, 3}) << false;
        QTest::newRow("a read answer") << bytes({2, 171, 3}) << false;
        QTest::newRow("nothing") << QByteArray() << false;
    }

    void writeAck()
    {
        QFETCH(QByteArray, received);
        QFETCH(bool, acknowledged);
        QCOMPARE(containsWriteAck(received), acknowledged);
    }

    void readAnswer_data()
    {
        QTest::addColumn<QByteArray>("received");
        QTest::addColumn<bool>("complete");
        QTest::addColumn<int>("byte");   // -1: no byte taken
        QTest::newRow("STX 171 ETX") << bytes({2, 171, 3}) << true << 171;
        QTest::newRow("STX 2 ETX") << bytes({2, 2, 3}) << true << 2;
        QTest::newRow("last byte not examined") << bytes({2, 40, 99}) << true << 40;
        QTest::newRow("65 66 67") << bytes({65, 66, 67}) << true << -1;
        QTest::newRow("two bytes") << bytes({2, 171}) << false << -1;
        QTest::newRow("longer: last three judged") << bytes({2, 9, 3, 2, 171, 3}) << true << 171;
        QTest::newRow("longer: junk before") << bytes({85, 85, 2, 0, 3}) << true << 0;
        QTest::newRow("longer: STX only early") << bytes({2, 171, 3, 0}) << true << -1;
    }

    void readAnswer()
    {
        QFETCH(QByteArray, received);
        QFETCH(bool, complete);
        QFETCH(int, byte);
        QCOMPARE(readAnswerComplete(received), complete);
        const auto taken = readAnswerByte(received);
        QCOMPARE(taken.has_value(), byte >= 0);
        if (taken)
            QCOMPARE(int(*taken), byte);
    }

    void percent_data()
    {
        QTest::addColumn<int>("address");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << 0 << u"  0%  effectuée"_s;
        QTest::newRow("81") << 81 << u"  0%  effectuée"_s;
        QTest::newRow("82") << 82 << u"  1%  effectuée"_s;
        QTest::newRow("4096") << 4096 << u"  50%  effectuée"_s;
        QTest::newRow("8190") << 8190 << u"  99%  effectuée"_s;
        QTest::newRow("8191") << 8191 << u"  100%  effectuée"_s;
    }

    void percent()
    {
        QFETCH(int, address);
        QFETCH(QString, text);
        QCOMPARE(text::percent(address), text);
    }

    void fixedTexts_data()
    {
        QTest::addColumn<QString>("actual");
        QTest::addColumn<QString>("expected");
        QTest::newRow("port opened") << text::portOpened(2) << u"Ouverture du port COM2 effectuée avec succès."_s;
        QTest::newRow("port failed") << text::portOpenFailed(3) << u"L'ouverture du port COM3 à échouée !"_s;
        QTest::newRow("port failed, path") << text::portOpenFailed(u"/dev/ttyUSB0"_s)
                                           << u"L'ouverture du port /dev/ttyUSB0 à échouée !"_s;
        QTest::newRow("select port") << text::selectPortFirst()
                                     << u"Sélectionner le port série (COM) \r\ndans le menu Configuration."_s;
        QTest::newRow("confirm program") << text::confirmation(TransferKind::Program)
                                         << u"Commencer la programmation ?"_s;
        QTest::newRow("confirm read") << text::confirmation(TransferKind::Read) << u" Commencer la lecture ? "_s;
        QTest::newRow("confirm verify") << text::confirmation(TransferKind::Verify)
                                        << u"Commencer la vérification ? "_s;
        QTest::newRow("activity program") << text::activity(TransferKind::Program)
                                          << u" Programmation en cours..."_s;
        QTest::newRow("activity read") << text::activity(TransferKind::Read) << u"    Lecture en cours..."_s;
        QTest::newRow("activity verify") << text::activity(TransferKind::Verify)
                                         << u" Vérification en cours..."_s;
        QTest::newRow("communication") << text::communicationFailure()
                                       << u"Problème de communication !\r\nEssayez à nouveau ."_s;
        QTest::newRow("mismatch 100") << text::verificationFailure(100)
                                      << u"Erreur Vérification !\r\nReprogrammez à nouveau .(Err: 100)"_s;
        QTest::newRow("link failure") << text::linkTestFailure()
                                      << u"Problème de connexion !\r\nVérifier le câble et le port COM choisi ."_s;
        QTest::newRow("link success") << text::linkTestSuccess() << u"Vérification terminé avec succés !"_s;
        QTest::newRow("programmed") << text::programmingSuccess() << u"Programmation terminée avec succés !"_s;
        QTest::newRow("verified") << text::verificationSuccess() << u"Vérification terminée avec succés !"_s;
        QTest::newRow("stopped") << text::stopped() << u"Transfert interrompu."_s;
        QTest::newRow("time, nothing done") << text::timeProgress(1500, 0) << u"Temps écoulé 0:02, reste --:--"_s;
        QTest::newRow("time, half done") << text::timeProgress(42000, 4096) << u"Temps écoulé 0:42, reste 0:42"_s;
    }

    void fixedTexts()
    {
        QFETCH(QString, actual);
        QFETCH(QString, expected);
        QCOMPARE(actual, expected);
    }

    void refusalNamesCellAndValue()
    {
        const QString refusal = text::refusedCell(address::kEmptyCountCell, -3);
        QVERIFY(refusal.contains(u"8190"_s));
        QVERIFY(refusal.contains(u"-3"_s));
    }

    void readingReport_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("empty");
        QTest::addColumn<QString>("report");
        const QString head = u"Centrale de défauts :\n\r"_s;
        const QString done = u"Lecture terminée avec succés !"_s;
        QTest::newRow("with PLC, 176") << 65 << 176
                                       << head + u"Avec automate.\n\r176 messages vides."_s + done;
        QTest::newRow("without PLC, 2") << 83 << 2 << head + u"Sans automate.\n\r2 messages vides."_s + done;
        QTest::newRow("without PLC, 1") << 83 << 1 << head + u"Sans automate.\n\r1 message vide.  "_s + done;
        QTest::newRow("with PLC, 0") << 65 << 0 << head + u"Avec automate.\n\r0 message vide.  "_s + done;
        QTest::newRow("other mode, 5") << 0 << 5 << head + u"5 messages vides."_s + done;
        QTest::newRow("mode 255, 1") << 255 << 1 << head + u"1 message vide.  "_s + done;
    }

    void readingReport()
    {
        QFETCH(int, mode);
        QFETCH(int, empty);
        QFETCH(QString, report);
        MemoryImage image;
        image.set(address::kModeCell, mode);
        image.set(address::kEmptyCountCell, empty);
        QCOMPARE(text::readingReport(image), report);
    }

    void outcomeReports_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("severity");
        const auto k = [](TransferKind v) { return static_cast<int>(v); };
        const auto r = [](TransferResult v) { return static_cast<int>(v); };
        const auto s = [](Status v) { return static_cast<int>(v); };
        const auto v = [](text::Severity x) { return static_cast<int>(x); };
        QTest::newRow("program ok") << k(TransferKind::Program) << r(TransferResult::Success) << s(Status::Done)
                                    << text::programmingSuccess() << v(text::Severity::Information);
        QTest::newRow("verify ok") << k(TransferKind::Verify) << r(TransferResult::Success) << s(Status::Done)
                                   << text::verificationSuccess() << v(text::Severity::Information);
        QTest::newRow("test ok") << k(TransferKind::LinkTest) << r(TransferResult::Success) << s(Status::Done)
                                 << text::linkTestSuccess() << v(text::Severity::Information);
        QTest::newRow("read time-out") << k(TransferKind::Read) << r(TransferResult::Failure) << s(Status::Timeout)
                                       << text::communicationFailure() << v(text::Severity::Warning);
        QTest::newRow("verify mismatch") << k(TransferKind::Verify) << r(TransferResult::Failure)
                                         << s(Status::Mismatch) << text::verificationFailure(77)
                                         << v(text::Severity::Critical);
        QTest::newRow("test mismatch") << k(TransferKind::LinkTest) << r(TransferResult::Failure)
                                       << s(Status::Mismatch) << text::linkTestFailure()
                                       << v(text::Severity::Critical);
        QTest::newRow("test time-out") << k(TransferKind::LinkTest) << r(TransferResult::Failure)
                                       << s(Status::Timeout) << text::linkTestFailure()
                                       << v(text::Severity::Critical);
        QTest::newRow("stopped") << k(TransferKind::Program) << r(TransferResult::Stopped) << s(Status::Done)
                                 << text::stopped() << v(text::Severity::Warning);
    }

    void outcomeReports()
    {
        QFETCH(int, kind);
        QFETCH(int, result);
        QFETCH(int, status);
        QFETCH(QString, text);
        QFETCH(int, severity);
        TransferOutcome outcome;
        outcome.kind = static_cast<TransferKind>(kind);
        outcome.result = static_cast<TransferResult>(result);
        outcome.status = static_cast<Status>(status);
        outcome.address = 77;
        const text::Report report = text::outcomeReport(outcome, MemoryImage{});
        QCOMPARE(report.text, text);
        QCOMPARE(static_cast<int>(report.severity), severity);
    }

    void comOrder_data()
    {
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QStringList>("ordered");
        QTest::newRow("USB adapters first")
            << QStringList{u"/dev/ttyS0"_s, u"/dev/ttyUSB0"_s, u"/dev/ttyS1"_s}
            << QStringList{u"/dev/ttyUSB0"_s, u"/dev/ttyS0"_s, u"/dev/ttyS1"_s};
        QTest::newRow("ACM and USB by name")
            << QStringList{u"/dev/ttyUSB1"_s, u"/dev/ttyACM0"_s, u"/dev/ttyUSB0"_s}
            << QStringList{u"/dev/ttyACM0"_s, u"/dev/ttyUSB0"_s, u"/dev/ttyUSB1"_s};
        QTest::newRow("numbers as numbers")
            << QStringList{u"/dev/ttyS10"_s, u"/dev/ttyS2"_s, u"/dev/ttyUSB10"_s, u"/dev/ttyUSB2"_s}
            << QStringList{u"/dev/ttyUSB2"_s, u"/dev/ttyUSB10"_s, u"/dev/ttyS2"_s, u"/dev/ttyS10"_s};
    }

    void comOrder()
    {
        QFETCH(QStringList, present);
        QFETCH(QStringList, ordered);
        QCOMPARE(link::comOrder(present), ordered);
    }

    void comDevice()
    {
        const QStringList present{u"/dev/ttyS0"_s, u"/dev/ttyUSB0"_s};
        QCOMPARE(link::comDevice(1, std::nullopt, present), u"/dev/ttyUSB0"_s);
        QCOMPARE(link::comDevice(2, std::nullopt, present), u"/dev/ttyS0"_s);
        QCOMPARE(link::comDevice(3, std::nullopt, present), QString());
        QCOMPARE(link::comDevice(3, u"/tmp/zel"_s, present), u"/tmp/zel"_s);
        QCOMPARE(link::comDevice(1, u""_s, present), u"/dev/ttyUSB0"_s);
        QCOMPARE(link::comOverrideVariable(4), u"TORSA_COM4"_s);
    }

    void comNames_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<int>("number");   // 0: a device path
        QTest::newRow("COM1") << u"COM1"_s << 1;
        QTest::newRow("com4") << u"com4"_s << 4;
        QTest::newRow("COM5") << u"COM5"_s << 0;
        QTest::newRow("COM10") << u"COM10"_s << 0;
        QTest::newRow("path") << u"/dev/ttyUSB0"_s << 0;
    }

    void comNames()
    {
        QFETCH(QString, given);
        QFETCH(int, number);
        QCOMPARE(link::comNumberOf(given).value_or(0), number);
        if (number == 0)
            QCOMPARE(link::devicePathFor(given), given);
    }

    void comOverrideFromEnvironment()
    {
        qputenv("TORSA_COM3", "/tmp/some-unit");
        QCOMPARE(link::devicePathFor(u"COM3"_s), u"/tmp/some-unit"_s);
        qunsetenv("TORSA_COM3");
    }
};

QTEST_GUILESS_MAIN(TestLinkProtocol)
#include "test_link_protocol.moc"
