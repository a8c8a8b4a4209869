// torsa-cli program, read, verify and test as processes, against zel-sim.

#include "support/SimProcess.h"

#include "store/AddressMap.h"
#include "support/CliProcess.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

using torsa::testing::readFile;
using torsa::testing::runCli;
using torsa::testing::writeFile;

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
    void init() { QVERIFY(dir_.isValid()); }

    void programVerifyReadTest()
    {
        const QString source = dir_.filePath(u"messages.zel"_s);
        const QString back = dir_.filePath(u"back.zel"_s);
        const QString unit = dir_.filePath(u"unit.zel"_s);
        QVERIFY(writeFile(source, pattern(1)));
        SimProcess sim;
        QVERIFY(sim.start({u"--save"_s, unit}));

        torsa::testing::CliRun run = runCli({u"program"_s, source, u"--port"_s, sim.path()});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, u"Programmation terminée avec succés !\n"_s);

        run = runCli({u"verify"_s, source, u"--port"_s, sim.path()});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, u"Vérification terminée avec succés !\n"_s);

        run = runCli({u"read"_s, back, u"--port="_s + sim.path()});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.err.endsWith(u"Lecture terminée avec succés !\n"_s));
        QVERIFY(run.err.startsWith(u"Centrale de défauts :\n\r"_s));
        QCOMPARE(readFile(back), pattern(1));

        run = runCli({u"test"_s, u"--port"_s, sim.path()});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, u"Vérification terminé avec succés !\n"_s);

        QVERIFY(sim.stop());
        QByteArray expected = pattern(1);
        expected[torsa::address::kLinkTestCell] = '\0';
        QCOMPARE(readFile(unit), expected);
    }

    void comNumberThroughTheEnvironment()
    {
        const QString source = dir_.filePath(u"messages.zel"_s);
        QVERIFY(writeFile(source, pattern(2)));
        SimProcess sim;
        QVERIFY(sim.start());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"TORSA_COM2"_s, sim.path());
        const torsa::testing::CliRun run = runCli({u"program"_s, source, u"--port"_s, u"COM2"_s}, environment);
        QCOMPARE(run.exitCode, 0);
    }

    void verifyMismatch()
    {
        const QString unitFile = dir_.filePath(u"unit.zel"_s);
        const QString source = dir_.filePath(u"messages.zel"_s);
        QByteArray bytes = pattern(3);
        QVERIFY(writeFile(unitFile, bytes));
        bytes[5000] = static_cast<char>(bytes.at(5000) + 1);
        QVERIFY(writeFile(source, bytes));
        SimProcess sim;
        QVERIFY(sim.start({u"--load"_s, unitFile}));
        const torsa::testing::CliRun run = runCli({u"verify"_s, source, u"--port"_s, sim.path()});
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(run.err, u"Erreur Vérification !\r\nReprogrammez à nouveau .(Err: 5000)\n"_s);
    }

    void failures_data()
    {
        QTest::addColumn<QStringList>("simOptions");
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        const QString communication = u"Problème de communication !\r\nEssayez à nouveau .\n"_s;
        const QString connection = u"Problème de connexion !\r\nVérifier le câble et le port COM choisi .\n"_s;
        QTest::newRow("read, unit falls silent") << QStringList{u"--silent-from"_s, u"300"_s} << u"read"_s << 1
                                                 << communication;
        QTest::newRow("read, unit dies") << QStringList{u"--die-at"_s, u"300"_s} << u"read"_s << 1
                                         << communication;
        QTest::newRow("program, unit dies") << QStringList{u"--die-at"_s, u"300"_s} << u"program"_s << 1
                                            << communication;
        QTest::newRow("test, unit reads 0") << QStringList{u"--read-zero"_s} << u"test"_s << 1 << connection;
        QTest::newRow("test, unit silent") << QStringList{u"--silent-from"_s, u"0"_s} << u"test"_s << 1
                                           << connection;
    }

    void failures()
    {
        QFETCH(QStringList, simOptions);
        QFETCH(QString, command);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        const QString file = dir_.filePath(u"file.zel"_s);
        const QByteArray before = pattern(4);
        QVERIFY(writeFile(file, before));
        SimProcess sim;
        QVERIFY(sim.start(simOptions));
        QStringList arguments{command};
        if (command != u"test")
            arguments << file;
        arguments << u"--port"_s << sim.path();
        const torsa::testing::CliRun run = runCli(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(run.err, message);
        // A failed read leaves the file as it was.
        QCOMPARE(readFile(file), before);
    }

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
        const torsa::testing::CliRun run = runCli({command, path, u"--port"_s, sim.path()});
        QCOMPARE(run.exitCode, 4);
        QVERIFY2(run.err.startsWith(message + path), qPrintable(run.err));
        QVERIFY(sim.stop());
        // The simulator logs every frame it gets: there was none.
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
        const QString source = dir_.filePath(u"messages.zel"_s);
        QVERIFY(writeFile(source, pattern(6)));
        const torsa::testing::CliRun run = runCli({u"program"_s, source, u"--port"_s, port});
        QCOMPARE(run.exitCode, 3);
        QCOMPARE(run.err, u"L'ouverture du port "_s + port + u" à échouée !\n"_s);
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("no port") << QStringList{u"program"_s, u"a.zel"_s};
        QTest::newRow("no file") << QStringList{u"read"_s, u"--port"_s, u"COM1"_s};
        QTest::newRow("port without value") << QStringList{u"verify"_s, u"a.zel"_s, u"--port"_s};
        QTest::newRow("test with a file") << QStringList{u"test"_s, u"a.zel"_s, u"--port"_s, u"COM1"_s};
        QTest::newRow("unknown option") << QStringList{u"program"_s, u"a.zel"_s, u"--port"_s, u"COM1"_s, u"--fast"_s};
        QTest::newRow("two files") << QStringList{u"program"_s, u"a.zel"_s, u"b.zel"_s, u"--port"_s, u"COM1"_s};
    }

    void usageErrors()
    {
        QFETCH(QStringList, arguments);
        const torsa::testing::CliRun run = runCli(arguments);
        QCOMPARE(run.exitCode, 64);
        QVERIFY(run.err.contains(u"Usage"_s));
    }

private:
    QTemporaryDir dir_;
};

QTEST_GUILESS_MAIN(TestLinkCli)
#include "test_link_cli.moc"
