// `torsa-cli list` as a process, on files saved by the program's own code.

#include "files/ProductionFile.h"
#include "support/CliProcess.h"
#include "support/MessageSets.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace torsa;
using torsa::testing::runCli;

class TestCliList : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void listsAFile_data()
    {
        QTest::addColumn<int>("modeCell");
        QTest::addColumn<int>("emptyCountCell");
        QTest::addColumn<QString>("captions");
        // The empty count in the file is stale: the tick recounts it.
        QTest::newRow("with PLC") << 65 << 7 << QStringLiteral("Centrale de défauts :Avec automate.  \r\n179 messages vides.");
        QTest::newRow("without PLC") << 83 << 0 << QStringLiteral("Centrale de défauts :Sans automate.  \r\n15 messages vides.");
        // No mode: a fresh program keeps none, whatever the count.
        QTest::newRow("mode cell 0") << 0 << 170 << QStringLiteral("Centrale de défauts :\r\n Aucun message");
        QTest::newRow("mode cell 255") << 255 << 0 << QStringLiteral("Centrale de défauts :\r\n Aucun message");
    }

    void listsAFile()
    {
        QFETCH(int, modeCell);
        QFETCH(int, emptyCountCell);
        QFETCH(QString, captions);
        MemoryImage image;
        validation::store(image, testing::edited(0, 3, 7, QStringLiteral("Bonjour")));
        // Accents and blinking characters, listed without their toggles.
        const QString accented = QStringLiteral("Défaut pompe §2 à l'arrêt");
        validation::store(image, testing::edited(5, 31, 180, accented, {1, 2, 3, 14, 15}));
        image.set(address::kModeCell, modeCell);
        image.set(address::kEmptyCountCell, emptyCountCell);
        const QString path = dir_.filePath(QStringLiteral("liste %1.zel").arg(modeCell));
        QVERIFY(productionfile::write(path, image));

        const testing::CliRun run = runCli({QStringLiteral("list"), path});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, QString());
        QCOMPARE(run.out, (captions + QStringLiteral("\r\nNuméro | Unité | Priorité |                 MESSAGE\r\n")
                           + QString(68, u'-') + QStringLiteral("\r\n n°000 | U: 03 |  P: 007  | Bonjour")
                           + QString(33, u' ') + QStringLiteral("\r\n n°005 | U: 31 |  P: 180  | ")
                           + accented.leftJustified(40) + QStringLiteral("\r\n")).toUtf8());
    }

    void unreadableFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("100 bytes") << QStringLiteral("court.zel");
        QTest::newRow("no such file") << QStringLiteral("absent.zel");
        QTest::newRow("a directory") << QStringLiteral("dossier");
    }

    void unreadableFile()
    {
        QFETCH(QString, name);
        const QString path = dir_.filePath(name);
        if (name == u"court.zel")
            QVERIFY(testing::writeFile(path, QByteArray(100, 'A')));
        if (name == u"dossier")
            QVERIFY(QDir(dir_.path()).mkdir(name));
        const testing::CliRun run = runCli({QStringLiteral("list"), path});
        QCOMPARE(run.exitCode, 4);
        QCOMPARE(run.out, QByteArray());
        QCOMPARE(run.err, QStringLiteral("Erreur d'ouverture de ") + path + u'\n');
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("nothing") << QStringList{};
        QTest::newRow("list without a file") << QStringList{QStringLiteral("list")};
        QTest::newRow("list with two files") << QStringList{QStringLiteral("list"), QStringLiteral("a"), QStringLiteral("b")};
        QTest::newRow("unknown command") << QStringList{QStringLiteral("lister"), QStringLiteral("a.zel")};
    }

    void usageErrors()
    {
        QFETCH(QStringList, arguments);
        const testing::CliRun run = runCli(arguments);
        QCOMPARE(run.exitCode, 64);
        QCOMPARE(run.out, QByteArray());
        QVERIFY(run.err.contains(QStringLiteral("Usage")));
    }

    void helpAndVersion()
    {
        const testing::CliRun help = runCli({QStringLiteral("--help")});
        QCOMPARE(help.exitCode, 0);
        QVERIFY(help.out.contains("list FILE"));
        const testing::CliRun version = runCli({QStringLiteral("--version")});
        QCOMPARE(version.exitCode, 0);
        QVERIFY(version.out.startsWith("torsa-cli "));
    }

private:
    QTemporaryDir dir_;
};

QTEST_GUILESS_MAIN(TestCliList)
#include "test_cli_list.moc"
