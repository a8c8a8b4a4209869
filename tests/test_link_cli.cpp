// torsa-cli program, read, verify and test as processes, against zel-sim.

#include "support/CliProcess.h"
#include "support/SimProcess.h"

#include "store/AddressMap.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace torsa::testing;

namespace {

QByteArray pattern(int seed)
{
    QByteArray bytes(torsa::address::kImageSize, '\0');
    for (int a = 0; a < bytes.size(); ++a)
        bytes[a] = static_cast<char>((a * 11 + seed) % 256);
    return bytes;
}

const QString kCommunication = u"Problème de communication !\r\nEssayez à nouveau .\n"_s;
const QString kConnection = u"Problème de connexion !\r\nVérifier le câble et le port COM choisi .\n"_s;

} // namespace

class TestLinkCli : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        QVERIFY(dir_.isValid());
        QVERIFY(writeFile(file_, pattern(1)));
    }

    void programVerifyReadTest()
    {
        const QString back = dir_.filePath(u"back.zel"_s);
        const QString unit = dir_.filePath(u"unit.zel"_s);
        SimProcess sim;
        QVERIFY(sim.start({u"--save"_s, unit}));
        CliRun run = runCli({u"program"_s, file_, u"--port"_s, sim.path()});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, u"Programmation terminée avec succés !\n"_s);
        run = runCli({u"verify"_s, file_, u"--port"_s, sim.path()});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, u"Vérification terminée avec succés !\n"_s);
        run = runCli({u"read"_s, back, u"--port="_s + sim.path()});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.err.startsWith(u"Centrale de défauts :\n\r"_s));
        QVERIFY(run.err.endsWith(u"Lecture terminée avec succés !\n"_s));
        QCOMPARE(readFile(back), pattern(1));
        // COMn reaches the device named by TORSA_COMn.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"TORSA_COM2"_s, sim.path());
        run = runCli({u"test"_s, u"--port"_s, u"COM2"_s}, environment);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, u"Vérification terminé avec succés !\n"_s);
        QVERIFY(sim.stop());
        QByteArray expected = pattern(1);
        expected[torsa::address::kLinkTestCell] = '\0';
        QCOMPARE(readFile(unit), expected);
    }

    // Each failure has its exit status and message; the file stays as it was.
    void failures_data()
    {
        QTest::addColumn<QStringList>("simOptions");
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("read, unit falls silent") << QStringList{u"--silent-from"_s, u"300"_s} << u"read"_s << 1
                                                 << kCommunication;
        QTest::newRow("program, unit dies") << QStringList{u"--die-at"_s, u"300"_s} << u"program"_s << 1
                                            << kCommunication;
        QTest::newRow("test, unit reads 0") << QStringList{u"--read-zero"_s} << u"test"_s << 1 << kConnection;
        QTest::newRow("test, unit silent") << QStringList{u"--silent-from"_s, u"0"_s} << u"test"_s << 1 << kConnection;
        QTest::newRow("verify, one cell differs")
            << QStringList{u"--load"_s, u"unit.zel"_s} << u"verify"_s << 2
            << u"Erreur Vérification !\r\nReprogrammez à nouveau .(Err: 5000)\n"_s;
    }

    void failures()
    {
        QFETCH(QStringList, simOptions);
        QFETCH(QString, command);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QByteArray unit = pattern(1);
        unit[5000] = static_cast<char>(unit.at(5000) + 1);
        QVERIFY(writeFile(dir_.filePath(u"unit.zel"_s), unit));
        if (simOptions.first() == u"--load")
            simOptions[1] = dir_.filePath(simOptions.at(1));
        SimProcess sim;
        QVERIFY(sim.start(simOptions));
        const QStringList arguments = command == u"test" ? QStringList{command} : QStringList{command, file_};
        const CliRun run = runCli(arguments + QStringList{u"--port"_s, sim.path()});
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(run.err, message);
        QCOMPARE(readFile(file_), pattern(1));
    }

    // A file that cannot be read as a production file, or cannot be written,
    // is found before the port: the unit sees no frame.
    void nothingSentForABadFile_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        QTest::newRow("program, no such file") << u"program"_s << u"missing.zel"_s << u"Erreur d'ouverture de "_s;
        QTest::newRow("verify, short file") << u"verify"_s << u"short.zel"_s << u"Erreur d'ouverture de "_s;
        QTest::newRow("read into a missing folder") << u"read"_s << u"no/such/folder.zel"_s
                                                    << u"Erreur lors de la création de "_s;
    }

    void nothingSentForABadFile()
    {
        QFETCH(QString, command);
        QFETCH(QString, file);
        QFETCH(QString, message);
        QVERIFY(writeFile(dir_.filePath(u"short.zel"_s), pattern(5).left(100)));
        SimProcess sim;
        QVERIFY(sim.start({u"--verbose"_s}));
        const QString path = dir_.filePath(file);
        const CliRun run = runCli({command, path, u"--port"_s, sim.path()});
        QCOMPARE(run.exitCode, 4);
        QVERIFY2(run.err.startsWith(message + path), qPrintable(run.err));
        QVERIFY(sim.stop());
        QVERIFY(!sim.process().readAllStandardError().contains("zel-sim: EC"));
    }

    void portCannotBeOpened_data()
    {
        QTest::addColumn<QString>("port");
        QTest::newRow("no such device") << u"/dev/torsa-no-such-port"_s;
        QTest::newRow("not a serial device") << u"/dev/null"_s;
    }

    void portCannotBeOpened()
    {
        QFETCH(QString, port);
        const CliRun run = runCli({u"program"_s, file_, u"--port"_s, port});
        QCOMPARE(run.exitCode, 3);
        QCOMPARE(run.err, u"L'ouverture du port "_s + port + u" à échouée !\n"_s);
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("no port") << QStringList{u"program"_s, u"a.zel"_s};
        QTest::newRow("port without value") << QStringList{u"verify"_s, u"a.zel"_s, u"--port"_s};
        QTest::newRow("test with a file") << QStringList{u"test"_s, u"a.zel"_s, u"--port"_s, u"COM1"_s};
        QTest::newRow("unknown option") << QStringList{u"read"_s, u"a.zel"_s, u"--port"_s, u"COM1"_s, u"--fast"_s};
    }

    void usageErrors()
    {
        QFETCH(QStringList, arguments);
        const CliRun run = runCli(arguments);
        QCOMPARE(run.exitCode, 64);
        QVERIFY(run.err.contains(u"Usage"_s));
    }

private:
    QTemporaryDir dir_;
    const QString file_ = dir_.filePath(u"messages.zel"_s);
};

QTEST_GUILESS_MAIN(TestLinkCli)
#include "test_link_cli.moc"
