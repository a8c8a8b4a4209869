// Production files: byte layout, atomic saves, refused files and the open report.

#include "files/ProductionFile.h"
#include "store/AddressMap.h"
#include "support/FileBytes.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>

using namespace torsa;
using namespace torsa::testing;
using namespace Qt::StringLiterals;

namespace {

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
    // Saved over a longer file, which must not keep its tail, and opened again. The
    // save puts a whole new file in place of the old one, never rewrites it (a
    // failure midway would leave half a file): a second name of the old file
    // keeps the old bytes. The file keeps its permissions.
    void saveReplacesTheFileWhole()
    {
        const auto permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
        QVERIFY(writeFile(path(u"tout.zel"_s), QByteArray(20000, 'x')));
        QVERIFY(QFile::setPermissions(path(u"tout.zel"_s), permissions));
        std::filesystem::create_hard_link(path(u"tout.zel"_s).toStdU16String(), path(u"ancien.zel"_s).toStdU16String());
        QVERIFY(productionfile::write(path(u"tout.zel"_s), everyByteValue()));
        QCOMPARE(readFile(path(u"tout.zel"_s)), bytesOf(everyByteValue()));
        QCOMPARE(readFile(path(u"ancien.zel"_s)), QByteArray(20000, 'x'));
        QCOMPARE(QFile::permissions(path(u"tout.zel"_s)) & 0xF0FF, permissions);
        const auto opened = productionfile::read(path(u"tout.zel"_s));
        QVERIFY(opened && *opened == everyByteValue());
    }

    // A cell outside 0 to 255 fails the save: the old file stays whole, no temporary is left.
    void failedSaveKeepsTheOldFile()
    {
        const QTemporaryDir sub;
        const QString saved = QDir(sub.path()).filePath(u"bon.zel"_s);
        QVERIFY(productionfile::write(saved, everyByteValue()));
        for (const int badCell : {256, -1}) {
            MemoryImage other;
            other.set(address::kEmptyCountCell, badCell);
            QVERIFY(!productionfile::write(saved, other));
            QCOMPARE(readFile(saved), bytesOf(everyByteValue()));
            QCOMPARE(QDir(sub.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"bon.zel"_s});
        }
    }

    // Anything short of 8192 bytes is refused; a longer file gives its first 8192.
    void openWholeFileOrNothing()
    {
        const QByteArray longer = bytesOf(everyByteValue()) + QByteArray(1000, '\xff');
        for (const int size : {address::kImageSize - 1, 0, address::kImageSize + 1000}) {
            QVERIFY(writeFile(path(u"f.zel"_s), longer.left(size)));
            const auto opened = productionfile::read(path(u"f.zel"_s));
            QCOMPARE(opened.has_value(), size > address::kImageSize);
            QVERIFY(!opened || *opened == everyByteValue());
        }
        QVERIFY(!productionfile::read(dir_.path()));
    }
};

QTEST_GUILESS_MAIN(TestFiles)
#include "test_files.moc"
