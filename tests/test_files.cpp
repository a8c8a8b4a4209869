// Production files: byte layout, atomic saves, refused files and the open report.

#include "files/FileReport.h"
#include "files/ProductionFile.h"
#include "store/AddressMap.h"

#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace torsa;

namespace {

// Byte k of a file is k mod 256: every byte value, 0, 10, 13, 26 and 128 to 255 among them.
MemoryImage everyByteValue()
{
    MemoryImage image;
    for (int k = 0; k < address::kImageSize; ++k)
        image.set(k, k % 256);
    return image;
}

QByteArray bytesOf(const MemoryImage &image)
{
    QByteArray out;
    for (int k = 0; k < address::kImageSize; ++k)
        out.append(static_cast<char>(image[k]));
    return out;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

bool writeRaw(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestFiles : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void saveThenOpenIsByteIdentical();
    void nameWithoutExtensionIsUsedAsTyped();
    void saveReplacesAnExistingFile();
    void negativeCellWritesNothing();
    void failedSaveKeepsTheOldFile_data();
    void failedSaveKeepsTheOldFile();
    void refusedFiles_data();
    void refusedFiles();
    void longerFileGivesItsFirstBytes();
    void openReport_data();
    void openReport();
    void errorTexts();

private:
    QTemporaryDir dir_;
};

void TestFiles::saveThenOpenIsByteIdentical()
{
    const QString path = dir_.filePath(QStringLiteral("tout.zel"));
    const MemoryImage image = everyByteValue();
    QVERIFY(productionfile::write(path, image));
    const QByteArray bytes = readAll(path);
    QCOMPARE(bytes.size(), address::kImageSize);
    QCOMPARE(bytes, bytesOf(image));

    const auto opened = productionfile::read(path);
    QVERIFY(opened.has_value());
    QVERIFY(*opened == image);
    QVERIFY(productionfile::write(dir_.filePath(QStringLiteral("encore.zel")), *opened));
    QCOMPARE(readAll(dir_.filePath(QStringLiteral("encore.zel"))), bytes);
}

void TestFiles::nameWithoutExtensionIsUsedAsTyped()
{
    const QString path = dir_.filePath(QStringLiteral("sans_extension"));
    QVERIFY(productionfile::write(path, MemoryImage{}));
    QVERIFY(QFile::exists(path));
    QVERIFY(!QFile::exists(path + QStringLiteral(".zel")));
    QCOMPARE(QFileInfo(path).size(), address::kImageSize);
}

void TestFiles::saveReplacesAnExistingFile()
{
    const QString path = dir_.filePath(QStringLiteral("remplace.zel"));
    QVERIFY(writeRaw(path, QByteArray(20000, 'x')));
    QVERIFY(productionfile::write(path, everyByteValue()));
    QCOMPARE(readAll(path), bytesOf(everyByteValue()));
}

void TestFiles::negativeCellWritesNothing()
{
    MemoryImage image = everyByteValue();
    image.set(address::kEmptyCountCell, -3);
    const QString path = dir_.filePath(QStringLiteral("negatif.zel"));
    QVERIFY(!productionfile::write(path, image));
    QVERIFY(!QFile::exists(path));
    QCOMPARE(QDir(dir_.path()).entryList({QStringLiteral("negatif*")}, QDir::Files | QDir::Hidden).size(), 0);
}

void TestFiles::failedSaveKeepsTheOldFile_data()
{
    QTest::addColumn<bool>("readOnlyDirectory");
    QTest::addColumn<int>("badCell");
    QTest::newRow("cell out of byte range") << false << 256;
    QTest::newRow("negative empty count") << false << -1;
    QTest::newRow("read-only directory") << true << 0;
}

void TestFiles::failedSaveKeepsTheOldFile()
{
    QFETCH(bool, readOnlyDirectory);
    QFETCH(int, badCell);
    if (readOnlyDirectory && ::geteuid() == 0)
        QSKIP("a directory's write protection does not hold for root");

    QTemporaryDir sub;
    const QString path = QDir(sub.path()).filePath(QStringLiteral("bon.zel"));
    const MemoryImage good = everyByteValue();
    QVERIFY(productionfile::write(path, good));

    MemoryImage other;
    other.set(address::kEmptyCountCell, badCell);
    const auto writable = QFile::permissions(sub.path());
    if (readOnlyDirectory)
        QVERIFY(QFile::setPermissions(sub.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const bool written = productionfile::write(path, other);
    QFile::setPermissions(sub.path(), writable);

    QVERIFY(!written);
    QCOMPARE(readAll(path), bytesOf(good));
    QCOMPARE(QDir(sub.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("bon.zel")});
}

void TestFiles::refusedFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("size");   // -1: no such file, -2: a directory
    QTest::newRow("100 bytes") << QStringLiteral("court.zel") << 100;
    QTest::newRow("8191 bytes") << QStringLiteral("presque.zel") << address::kImageSize - 1;
    QTest::newRow("empty") << QStringLiteral("vide.zel") << 0;
    QTest::newRow("no such file") << QStringLiteral("absent.zel") << -1;
    QTest::newRow("a directory") << QStringLiteral("dossier.zel") << -2;
}

void TestFiles::refusedFiles()
{
    QFETCH(QString, name);
    QFETCH(int, size);
    const QString path = dir_.filePath(name);
    if (size >= 0)
        QVERIFY(writeRaw(path, QByteArray(size, '\x41')));
    else if (size == -2)
        QVERIFY(QDir(dir_.path()).mkdir(name));
    QVERIFY(!productionfile::read(path).has_value());
}

void TestFiles::longerFileGivesItsFirstBytes()
{
    const QString path = dir_.filePath(QStringLiteral("long.zel"));
    QVERIFY(writeRaw(path, bytesOf(everyByteValue()) + QByteArray(1000, '\xff')));
    const auto opened = productionfile::read(path);
    QVERIFY(opened.has_value());
    QVERIFY(*opened == everyByteValue());
}

void TestFiles::openReport_data()
{
    QTest::addColumn<int>("modeCell");
    QTest::addColumn<int>("emptyCount");
    QTest::addColumn<int>("requested");
    QTest::addColumn<QString>("message");

    const QString header = QStringLiteral("Centrale de défauts :\n\r");
    const QString success = QStringLiteral("Lecture terminée avec succés !");
    QTest::newRow("with PLC, 170 empty") << 65 << 170 << static_cast<int>(SessionMode::WithPlc)
        << header + QStringLiteral("Avec automate.\n\r170 messages vides.\n\r") + success;
    QTest::newRow("without PLC, 1 empty") << 83 << 1 << static_cast<int>(SessionMode::WithoutPlc)
        << header + QStringLiteral("Sans automate.\n\r1 messages vides.\n\r") + success;
    QTest::newRow("no mode, 0 empty") << 0 << 0 << static_cast<int>(SessionMode::None)
        << header + QStringLiteral("0 messages vides.\n\r") + success;
    QTest::newRow("mode cell 255") << 255 << 5 << static_cast<int>(SessionMode::None)
        << header + QStringLiteral("5 messages vides.\n\r") + success;
    QTest::newRow("count byte 253") << 83 << 253 << static_cast<int>(SessionMode::WithoutPlc)
        << header + QStringLiteral("Sans automate.\n\r253 messages vides.\n\r") + success;
}

void TestFiles::openReport()
{
    QFETCH(int, modeCell);
    QFETCH(int, emptyCount);
    QFETCH(int, requested);
    QFETCH(QString, message);

    // Through a real file, as the window gets it.
    MemoryImage image;
    image.set(address::kModeCell, modeCell);
    image.set(address::kEmptyCountCell, emptyCount);
    const QString path = dir_.filePath(QStringLiteral("rapport.zel"));
    QVERIFY(productionfile::write(path, image));
    const auto opened = productionfile::read(path);
    QVERIFY(opened.has_value());

    const OpenReport report = filereport::forOpenedImage(*opened);
    QCOMPARE(static_cast<int>(report.requestedMode), requested);
    QCOMPARE(report.tally, emptyCount);
    QCOMPARE(filereport::openedMessage(report), message);
}

void TestFiles::errorTexts()
{
    const QString name = QStringLiteral("/tmp/a b/é.zel");
    QCOMPARE(filereport::saveError(name),
             QStringLiteral("Erreur lors de la création de /tmp/a b/é.zel. Essayer à nouveau"));
    QCOMPARE(filereport::openError(name), QStringLiteral("Erreur d'ouverture de /tmp/a b/é.zel"));
}

QTEST_GUILESS_MAIN(TestFiles)
#include "test_files.moc"
