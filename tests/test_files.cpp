// Production files: byte layout, atomic saves, refused files and the open report.

#include "support/FileBytes.h"
#include "files/FileReport.h"
#include "files/ProductionFile.h"
#include "store/AddressMap.h"
#include "support/CliProcess.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace torsa;
using namespace torsa::testing;
using namespace Qt::StringLiterals;

namespace {

using testing::bytesOf;

// Byte k is k mod 256: every byte value, 0, 10, 13, 26 and 128 to 255 among them.
MemoryImage everyByteValue()
{
    MemoryImage image;
    for (int k = 0; k < address::kImageSize; ++k)
        image.set(k, k % 256);
    return image;
}

} // namespace

class TestFiles : public QObject {
    Q_OBJECT

    QString path(const QString &name) const { return dir_.filePath(name); }
    QTemporaryDir dir_;

private Q_SLOTS:
    // Over a longer file, which must not keep its tail.
    void saveThenOpenIsByteIdentical()
    {
        QVERIFY(writeFile(path(u"tout.zel"_s), QByteArray(20000, 'x')));
        QVERIFY(productionfile::write(path(u"tout.zel"_s), everyByteValue()));
        QCOMPARE(readFile(path(u"tout.zel"_s)), bytesOf(everyByteValue()));
        const auto opened = productionfile::read(path(u"tout.zel"_s));
        QVERIFY(opened.has_value());
        QVERIFY(productionfile::write(path(u"encore.zel"_s), *opened));
        QCOMPARE(readFile(path(u"encore.zel"_s)), bytesOf(everyByteValue()));
    }

    void failedSaveKeepsTheOldFile_data()
    {
        QTest::addColumn<bool>("readOnlyDirectory");
        QTest::addColumn<int>("badCell");
        QTest::newRow("cell out of byte range") << false << 256;
        QTest::newRow("negative empty count") << false << -1;
        QTest::newRow("read-only directory") << true << 0;
    }

    void failedSaveKeepsTheOldFile()
    {
        QFETCH(bool, readOnlyDirectory);
        QFETCH(int, badCell);
        if (readOnlyDirectory && ::geteuid() == 0)
            QSKIP("a directory's write protection does not hold for root");
        QTemporaryDir sub;
        const QString saved = QDir(sub.path()).filePath(u"bon.zel"_s);
        QVERIFY(productionfile::write(saved, everyByteValue()));

        MemoryImage other;
        other.set(address::kEmptyCountCell, badCell);
        const auto writable = QFile::permissions(sub.path());
        if (readOnlyDirectory)
            QVERIFY(QFile::setPermissions(sub.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        const bool written = productionfile::write(saved, other);
        QFile::setPermissions(sub.path(), writable);
        QVERIFY(!written);
        QCOMPARE(readFile(saved), bytesOf(everyByteValue()));
        QCOMPARE(QDir(sub.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"bon.zel"_s});
    }

    // Anything short of 8192 bytes is refused; a longer file gives its first 8192.
    void openWholeFileOrNothing_data()
    {
        QTest::addColumn<int>("size");   // -1: no such file, -2: a directory
        QTest::newRow("8191 bytes") << address::kImageSize - 1;
        QTest::newRow("empty") << 0;
        QTest::newRow("no such file") << -1;
        QTest::newRow("a directory") << -2;
        QTest::newRow("9192 bytes") << address::kImageSize + 1000;
    }

    void openWholeFileOrNothing()
    {
        QFETCH(int, size);
        const QString name = path(u"f%1.zel"_s.arg(QString::fromUtf8(QTest::currentDataTag())));
        if (size >= 0)
            QVERIFY(writeFile(name, (bytesOf(everyByteValue()) + QByteArray(1000, '\xff')).left(size)));
        else if (size == -2)
            QVERIFY(QDir().mkdir(name));
        const auto opened = productionfile::read(name);
        QCOMPARE(opened.has_value(), size > address::kImageSize);
        if (opened)
            QVERIFY(*opened == everyByteValue());
    }

    void openReport_data()
    {
        QTest::addColumn<int>("modeCell");
        QTest::addColumn<int>("emptyCount");
        QTest::addColumn<SessionMode>("requested");
        QTest::addColumn<QString>("lines");
        QTest::newRow("65") << 65 << 170 << SessionMode::WithPlc << u"Avec automate.\n\r170 messages vides.\n\r"_s;
        QTest::newRow("83") << 83 << 1 << SessionMode::WithoutPlc << u"Sans automate.\n\r1 messages vides.\n\r"_s;
        QTest::newRow("0") << 0 << 0 << SessionMode::None << u"0 messages vides.\n\r"_s;
        QTest::newRow("255") << 255 << 5 << SessionMode::None << u"5 messages vides.\n\r"_s;
    }

    void openReport()
    {
        QFETCH(int, modeCell);
        QFETCH(int, emptyCount);
        QFETCH(SessionMode, requested);
        QFETCH(QString, lines);
        MemoryImage image;
        image.set(address::kModeCell, modeCell);
        image.set(address::kEmptyCountCell, emptyCount);
        QVERIFY(productionfile::write(path(u"rapport.zel"_s), image));
        const OpenReport report = filereport::forOpenedImage(productionfile::read(path(u"rapport.zel"_s)).value());
        QCOMPARE(report.requestedMode, requested);
        QCOMPARE(report.tally, emptyCount);
        QCOMPARE(filereport::openedMessage(report),
                 u"Centrale de défauts :\n\r"_s + lines + u"Lecture terminée avec succés !"_s);
    }

    void errorTexts()
    {
        QCOMPARE(filereport::saveError(u"/tmp/a b/é.zel"_s),
                 u"Erreur lors de la création de /tmp/a b/é.zel. Essayer à nouveau"_s);
        QCOMPARE(filereport::openError(u"/tmp/a b/é.zel"_s), u"Erreur d'ouverture de /tmp/a b/é.zel"_s);
    }
};

QTEST_GUILESS_MAIN(TestFiles)
#include "test_files.moc"
