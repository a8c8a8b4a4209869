// `torsa-cli list` as a process, on files saved by the program's own code.

#include "files/ProductionFile.h"
#include "store/AddressMap.h"
#include "store/Validation.h"
#include "support/CliProcess.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace torsa;

namespace {

using torsa::testing::runCli;

void storeMessage(MemoryImage &image, int number, int unit, int priority, const QString &text,
                  std::initializer_list<int> blinkingPositions = {})
{
    EditedMessage message;
    message.number = number;
    message.unit = unit;
    message.priority = priority;
    message.text = text;
    for (const int position : blinkingPositions)
        message.blink.at(static_cast<std::size_t>(position - 1)) = true;
    validation::store(image, message);
}

QByteArray utf8(const QString &text)
{
    return text.toUtf8();
}

const QString kHeader = QStringLiteral("Numéro | Unité | Priorité |                 MESSAGE\r\n"
                                       "--------------------------------------------------------------------\r\n");

QString line(const QString &start, const QString &text)
{
    return start + text.leftJustified(40, u' ') + QStringLiteral("\r\n");
}

} // namespace

class TestCliList : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void listsAFile_data();
    void listsAFile();
    void unreadableFile_data();
    void unreadableFile();
    void usageErrors_data();
    void usageErrors();
    void helpAndVersion();

private:
    QTemporaryDir dir_;
};

void TestCliList::listsAFile_data()
{
    QTest::addColumn<int>("modeCell");
    QTest::addColumn<int>("emptyCountCell");
    QTest::addColumn<QByteArray>("expected");

    // Messages 0 and 5 with PLC; the second with accents and blinking characters,
    // which the listing shows without their toggles. The empty count in the file is
    // stale: the tick recounts it.
    QTest::newRow("with PLC") << 65 << 7
        << utf8(QStringLiteral("Centrale de défauts :Avec automate.  \r\n179 messages vides.\r\n") + kHeader
                + line(QStringLiteral(" n°000 | U: 03 |  P: 007  | "), QStringLiteral("Bonjour"))
                + line(QStringLiteral(" n°005 | U: 31 |  P: 180  | "), QStringLiteral("Défaut pompe §2 à l'arrêt")));
    QTest::newRow("without PLC") << 83 << 0
        << utf8(QStringLiteral("Centrale de défauts :Sans automate.  \r\n15 messages vides.\r\n") + kHeader
                + line(QStringLiteral(" n°000 | U: 03 |  P: 007  | "), QStringLiteral("Bonjour"))
                + line(QStringLiteral(" n°005 | U: 31 |  P: 180  | "), QStringLiteral("Défaut pompe §2 à l'arrêt")));
    // No mode: a fresh program keeps none, whatever the count.
    QTest::newRow("mode cell 0") << 0 << 170
        << utf8(QStringLiteral("Centrale de défauts :\r\n Aucun message\r\n") + kHeader
                + line(QStringLiteral(" n°000 | U: 03 |  P: 007  | "), QStringLiteral("Bonjour"))
                + line(QStringLiteral(" n°005 | U: 31 |  P: 180  | "), QStringLiteral("Défaut pompe §2 à l'arrêt")));
    QTest::newRow("mode cell 255") << 255 << 0
        << utf8(QStringLiteral("Centrale de défauts :\r\n Aucun message\r\n") + kHeader
                + line(QStringLiteral(" n°000 | U: 03 |  P: 007  | "), QStringLiteral("Bonjour"))
                + line(QStringLiteral(" n°005 | U: 31 |  P: 180  | "), QStringLiteral("Défaut pompe §2 à l'arrêt")));
}

void TestCliList::listsAFile()
{
    QFETCH(int, modeCell);
    QFETCH(int, emptyCountCell);
    QFETCH(QByteArray, expected);

    MemoryImage image;
    storeMessage(image, 0, 3, 7, QStringLiteral("Bonjour"));
    storeMessage(image, 5, 31, 180, QStringLiteral("Défaut pompe §2 à l'arrêt"), {1, 2, 3, 14, 15});
    image.set(address::kModeCell, modeCell);
    image.set(address::kEmptyCountCell, emptyCountCell);
    const QString path = dir_.filePath(QStringLiteral("liste %1.zel").arg(QString::fromUtf8(QTest::currentDataTag())));
    QVERIFY(productionfile::write(path, image));

    const torsa::testing::CliRun run = runCli({QStringLiteral("list"), path});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QString());
    QCOMPARE(run.out, expected);
}

void TestCliList::unreadableFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("size");   // -1: no such file, -2: a directory
    QTest::newRow("100 bytes") << QStringLiteral("court.zel") << 100;
    QTest::newRow("no such file") << QStringLiteral("absent.zel") << -1;
    QTest::newRow("a directory") << QStringLiteral("dossier") << -2;
}

void TestCliList::unreadableFile()
{
    QFETCH(QString, name);
    QFETCH(int, size);
    const QString path = dir_.filePath(name);
    if (size >= 0) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(size, 'A'));
    } else if (size == -2) {
        QVERIFY(QDir(dir_.path()).mkdir(name));
    }
    const torsa::testing::CliRun run = runCli({QStringLiteral("list"), path});
    QCOMPARE(run.exitCode, 4);
    QCOMPARE(run.out, QByteArray());
    QCOMPARE(run.err, QStringLiteral("Erreur d'ouverture de ") + path + u'\n');
}

void TestCliList::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("nothing") << QStringList{};
    QTest::newRow("list without a file") << QStringList{QStringLiteral("list")};
    QTest::newRow("list with two files") << QStringList{QStringLiteral("list"), QStringLiteral("a.zel"), QStringLiteral("b.zel")};
    QTest::newRow("unknown command") << QStringList{QStringLiteral("lister"), QStringLiteral("a.zel")};
    QTest::newRow("unknown option") << QStringList{QStringLiteral("--verbose")};
}

void TestCliList::usageErrors()
{
    QFETCH(QStringList, arguments);
    const torsa::testing::CliRun run = runCli(arguments);
    QCOMPARE(run.exitCode, 64);
    QCOMPARE(run.out, QByteArray());
    QVERIFY(run.err.contains(QStringLiteral("Usage")));
}

void TestCliList::helpAndVersion()
{
    const torsa::testing::CliRun help = runCli({QStringLiteral("--help")});
    QCOMPARE(help.exitCode, 0);
    QVERIFY(help.out.contains("list FILE"));
    QCOMPARE(help.err, QString());

    const torsa::testing::CliRun version = runCli({QStringLiteral("--version")});
    QCOMPARE(version.exitCode, 0);
    QVERIFY(version.out.startsWith("torsa-cli "));
}

QTEST_GUILESS_MAIN(TestCliList)
#include "test_cli_list.moc"
