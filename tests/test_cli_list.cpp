// `torsa-cli list` as a process, on files saved by the program's own code.

#include "files/ProductionFile.h"
#include "support/CliProcess.h"
#include "support/MessageSets.h"

#include <QTemporaryDir>
#include <QTest>

using namespace torsa;
using torsa::testing::runCli;

class TestCliList : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // What a freshly started program shows once it has opened the file and run
    // one tick: the mode comes from the file, the stale empty count is recounted.
    void listsAFile_data()
    {
        QTest::addColumn<int>("modeCell");
        QTest::addColumn<int>("emptyCountCell");
        QTest::addColumn<QString>("captions");
        QTest::newRow("with PLC") << 65 << 7 << QStringLiteral("Centrale de défauts :Avec automate.  \r\n179 messages vides.");
        QTest::newRow("without PLC") << 83 << 0 << QStringLiteral("Centrale de défauts :Sans automate.  \r\n15 messages vides.");
        QTest::newRow("mode cell 0") << 0 << 170 << QStringLiteral("Centrale de défauts :\r\n Aucun message");
    }

    void listsAFile()
    {
        QFETCH(int, modeCell);
        QFETCH(int, emptyCountCell);
        QFETCH(QString, captions);
        MemoryImage image;
        validation::store(image, testing::edited(0, 3, 7, QStringLiteral("Bonjour")));
        // Accents and blinking characters, listed without their toggles.
        validation::store(image, testing::edited(5, 31, 16, QStringLiteral("Défaut §2 à l'arrêt"), {1, 2, 3, 14, 15}));
        image.set(address::kModeCell, modeCell);
        image.set(address::kEmptyCountCell, emptyCountCell);
        const QString path = dir_.filePath(QStringLiteral("liste %1.zel").arg(modeCell));
        QVERIFY(productionfile::write(path, image));

        const testing::CliRun run = runCli({QStringLiteral("list"), path});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, QString());
        QCOMPARE(run.out, (captions + QStringLiteral("\r\nNuméro | Unité | Priorité |                 MESSAGE\r\n")
                           + QString(68, u'-') + QStringLiteral("\r\n n°000 | U: 03 |  P: 007  | Bonjour") + QString(33, u' ')
                           + QStringLiteral("\r\n n°005 | U: 31 |  P: 016  | Défaut §2 à l'arrêt") + QString(21, u' ')
                           + QStringLiteral("\r\n")).toUtf8());
    }

    // A short file stands for every file that is no production file (the core's tests have the others).
    void unreadableFile()
    {
        const QString path = dir_.filePath(QStringLiteral("court.zel"));
        QVERIFY(testing::writeFile(path, QByteArray(100, 'A')));
        const testing::CliRun run = runCli({QStringLiteral("list"), path});
        QCOMPARE(run.exitCode, 4);
        QCOMPARE(run.out, QByteArray());
        QCOMPARE(run.err, QStringLiteral("Erreur d'ouverture de ") + path + u'\n');
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("nothing") << QStringList{};
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

    // Their texts are checked against the man page.
    void helpAndVersionSucceed()
    {
        QCOMPARE(runCli({QStringLiteral("--help")}).exitCode, 0);
        QCOMPARE(runCli({QStringLiteral("--version")}).exitCode, 0);
    }

private:
    QTemporaryDir dir_;
};

QTEST_GUILESS_MAIN(TestCliList)
#include "test_cli_list.moc"
