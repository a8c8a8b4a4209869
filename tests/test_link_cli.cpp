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
        SimProcess sim;
        QVERIFY(sim.start());
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
    }

    // Each failure has its exit status and its message. What is refused before
    // the port (usage, a port that cannot be opened, a bad file) reaches no
    // unit, and no failure touches the file. In the arguments and messages,
    // '@' stands for the test's folder and SIM for the unit's device.
    void failures_data()
    {
        QTest::addColumn<QStringList>("simOptions");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        const QString communication = u"Problème de communication !\r\nEssayez à nouveau .\n"_s;
        const QString connection = u"Problème de connexion !\r\nVérifier le câble et le port COM choisi .\n"_s;
        const QString usage = u"Usage : torsa-cli program|read|verify FILE --port PORT\n"
                              "        torsa-cli test --port PORT\n"_s;
        const QString file = u"@/messages.zel"_s;
        const QStringList sim{u"--port"_s, u"SIM"_s};
        const QStringList verbose{u"--verbose"_s};
        QTest::newRow("read, unit falls silent")
            << QStringList{u"--silent-from"_s, u"300"_s} << QStringList{u"read"_s, file} + sim << 1 << communication;
        QTest::newRow("program, unit dies")
            << QStringList{u"--die-at"_s, u"300"_s} << QStringList{u"program"_s, file} + sim << 1 << communication;
        QTest::newRow("test, unit reads 0")
            << QStringList{u"--read-zero"_s} << QStringList{u"test"_s} + sim << 1 << connection;
        QTest::newRow("test, unit silent")
            << QStringList{u"--silent-from"_s, u"0"_s} << QStringList{u"test"_s} + sim << 1 << connection;
        QTest::newRow("verify, one cell differs")
            << QStringList{u"--load"_s, u"@/unit.zel"_s} << QStringList{u"verify"_s, file} + sim << 2
            << u"Erreur Vérification !\r\nReprogrammez à nouveau .(Err: 5000)\n"_s;
        for (const QString &port : {u"/dev/torsa-no-such-port"_s, u"/dev/null"_s})
            QTest::addRow("port %s", qPrintable(port)) << verbose << QStringList{u"program"_s, file, u"--port"_s, port}
                                                       << 3 << u"L'ouverture du port "_s + port + u" à échouée !\n"_s;
        QTest::newRow("program, no such file") << verbose << QStringList{u"program"_s, u"@/missing.zel"_s} + sim << 4
                                               << u"Erreur d'ouverture de @/missing.zel\n"_s;
        QTest::newRow("verify, short file") << verbose << QStringList{u"verify"_s, u"@/short.zel"_s} + sim << 4
                                            << u"Erreur d'ouverture de @/short.zel\n"_s;
        QTest::newRow("read into a missing folder")
            << verbose << QStringList{u"read"_s, u"@/no/such.zel"_s} + sim << 4
            << u"Erreur lors de la création de @/no/such.zel. Essayer à nouveau\n"_s;
        QTest::newRow("no port") << verbose << QStringList{u"program"_s, file} << 64 << usage;
        QTest::newRow("port without value") << verbose << QStringList{u"verify"_s, file, u"--port"_s} << 64 << usage;
        QTest::newRow("test with a file") << verbose << QStringList{u"test"_s, file} + sim << 64 << usage;
        QTest::newRow("unknown option") << verbose << QStringList{u"read"_s, file, u"--fast"_s} + sim << 64 << usage;
    }

    void failures()
    {
        QFETCH(QStringList, simOptions);
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QByteArray unit = pattern(1);
        unit[5000] = static_cast<char>(unit.at(5000) + 1);
        QVERIFY(writeFile(dir_.filePath(u"unit.zel"_s), unit));
        QVERIFY(writeFile(dir_.filePath(u"short.zel"_s), pattern(1).left(100)));
        SimProcess sim;
        QVERIFY(sim.start(simOptions.replaceInStrings(u"@"_s, dir_.path())));
        arguments.replaceInStrings(u"@"_s, dir_.path()).replaceInStrings(u"SIM"_s, sim.path());
        const CliRun run = runCli(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(run.err, message.replace(u'@', dir_.path()));
        QCOMPARE(readFile(file_), pattern(1));
        if (exitCode > 2) {
            QVERIFY(sim.stop());
            QVERIFY(sim.process().readAllStandardError().contains("zel-sim: 0 frames answered"));
        }
    }

private:
    QTemporaryDir dir_;
    const QString file_ = dir_.filePath(u"messages.zel"_s);
};

QTEST_GUILESS_MAIN(TestLinkCli)
#include "test_link_cli.moc"
