// A disk that fills up part-way, made by a file-size limit (RLIMIT_FSIZE, with
// SIGXFSZ ignored so that write() fails with EFBIG at the chosen byte): no
// writer may report success then, and the file it would replace stays as it was.

#include "support/CliProcess.h"
#include "support/FileSizeLimit.h"
#include "support/SimProcess.h"
#include "support/TechnicianAccount.h"
#include "support/WindowUnderTest.h"

#include "files/CsvEncoding.h"
#include "files/CsvRecords.h"
#include "files/FileTexts.h"
#include "store/AddressMap.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <limits>
#include <sys/stat.h>

using namespace Qt::StringLiterals;
using namespace torsa;
using namespace torsa::testing;

namespace {

using filetexts::saveError;

CliRun runLimited(const QStringList &arguments, qint64 limit)
{
    return runCli(arguments, QProcessEnvironment::systemEnvironment(),
                  [limit](QProcess &process) { limitChild(process, limit); });
}

constexpr int kExitPortUnavailable = 3;
const QByteArray kOldFile = QByteArray("ancien jeu de messages ").repeated(300);

// A folder anyone may write in; sticky, only a file's owner may replace it.
const QFile::Permissions kAnyoneWrites = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::WriteOther;

bool shareFolder(const QString &folder, bool sticky)
{
    const QByteArray native = QFile::encodeName(folder);
    return ::chmod(native.constData(), S_IRWXU | S_IRWXG | S_IRWXO | (sticky ? S_ISVTX : 0)) == 0;
}

} // namespace

class TestWriteFaults : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        // Readable and searchable by a child that obeys permissions.
        QVERIFY(QFile::setPermissions(
            dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
        const CliRun exported = runCli({u"export"_s, sample(u"demo.zel"_s)});
        QVERIFY(exported.exitCode == 0 && !exported.out.isEmpty());
        demoList_ = exported.out;
        demoFile_ = readFile(sample(u"demo.zel"_s));
    }

    // Every writing path, the limit at 0, 1, about half and one byte short of
    // what it writes (then the whole, which must pass): a failure is reported
    // with a non-zero status and the older file stays byte for byte. A file
    // written in place, where the folder takes no new file, is reported as
    // incomplete.
    void writersUnderAFullDisk_data()
    {
        QTest::addColumn<QString>("writer");
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<bool>("inPlace");
        for (const QString &writer : {u"import"_s, u"export"_s, u"read"_s, u"zel-sim"_s}) {
            const qint64 size = writer == u"export" ? demoList_.size() : address::kImageSize;
            for (const qint64 limit : {qint64(0), qint64(1), size / 2, size - 1, size})
                QTest::addRow("%s, %lld bytes", qPrintable(writer), limit) << writer << limit << false;
        }
        QTest::newRow("import in place, half") << u"import"_s << qint64(address::kImageSize / 2) << true;
        QTest::newRow("import in place, whole") << u"import"_s << qint64(address::kImageSize) << true;
    }

    void writersUnderAFullDisk()
    {
        QFETCH(QString, writer);
        QFETCH(qint64, limit);
        QFETCH(bool, inPlace);
        const QString folder = dir_.filePath(QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'_'));
        QVERIFY(QDir().mkpath(folder));
        const QString out = folder + (writer == u"export" ? u"/liste.csv"_s : u"/sortie.zel"_s);
        QVERIFY(writeFile(out, kOldFile));
        if (inPlace)
            QVERIFY(
                QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
        const QByteArray expected = writer == u"export" ? demoList_ : demoFile_;
        const bool whole = limit >= expected.size();

        int exitCode = -1;
        QString err;
        if (writer == u"zel-sim") {
            SimProcess sim;
            limitChild(sim.process(), limit);
            QVERIFY(sim.start({u"--load"_s, sample(u"demo.zel"_s), u"--save"_s, out}));
            QVERIFY(sim.stop());
            exitCode = sim.process().exitCode();
            err = QString::fromUtf8(sim.process().readAllStandardError());
        } else {
            SimProcess unit;
            QStringList arguments;
            if (writer == u"import")
                arguments = {u"import"_s, sample(u"demo.csv"_s), u"-o"_s, out};
            else if (writer == u"export")
                arguments = {u"export"_s, sample(u"demo.zel"_s), u"-o"_s, out};
            else if (unit.start({u"--load"_s, sample(u"demo.zel"_s)}))
                arguments = {u"read"_s, out, u"--port"_s, unit.path()};
            const CliRun run = runLimited(arguments, limit);
            exitCode = run.exitCode;
            err = run.err;
        }
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (whole) {
            QCOMPARE(exitCode, 0);
            QCOMPARE(readFile(out), expected);
            return;
        }
        QVERIFY2(exitCode != 0, qPrintable(err));
        // With no room for the serial port's lock file, a read stops at the port.
        if (writer != u"zel-sim" && exitCode != kExitPortUnavailable)
            QVERIFY2(err.contains(saveError(out)), qPrintable(err));
        if (inPlace)
            QVERIFY2(err.endsWith(saveError(out) + u"\nLe fichier "_s + out + u" est incomplet.\n"_s), qPrintable(err));
        else
            QCOMPARE(readFile(out), kOldFile);
    }

    // "Enregistrer" failing at each of its steps: the box of the failed save,
    // the session left unsaved. A new file beside the old one cut short, or
    // its final rename refused (a sticky folder, the old file another user's),
    // leaves the old file whole and no new file; a file written in place (a
    // folder that takes no new file) cut short is just as much a failure.
    void windowSaveFailures_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<bool>("sticky");
        QTest::addColumn<bool>("inPlace");
        QTest::addColumn<qint64>("limit");
        const qint64 half = address::kImageSize / 2;
        const qint64 none = std::numeric_limits<qint64>::max();
        QTest::newRow("over a file, disk full") << u"existant.zel"_s << true << false << false << half;
        QTest::newRow("new file, disk full") << u"nouveau.zel"_s << false << false << false << half;
        QTest::newRow("rename refused") << u"autrui.zel"_s << true << true << false << none;
        QTest::newRow("in place, disk full") << u"sur-place.zel"_s << true << false << true << half;
    }

    void windowSaveFailures()
    {
        QFETCH(QString, name);
        QFETCH(bool, exists);
        QFETCH(bool, sticky);
        QFETCH(bool, inPlace);
        QFETCH(qint64, limit);
        if (sticky && !TechnicianAccount::canBeOtherThanOwner())
            QSKIP("a file of another user's needs root to be made");
        const QString folder = dir_.filePath(QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'_'));
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + u'/' + name;
        if (exists)
            QVERIFY(writeFile(path, kOldFile) && QFile::setPermissions(path, kAnyoneWrites));
        QVERIFY(inPlace ? QFile::setPermissions(folder,
                                                QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther)
                        : shareFolder(folder, sticky));
        WindowUnderTest f;
        f.newSession("MENU_ED_AVEC");
        f.text()->setText(u"ALARME"_s);
        f.click("Commande6");
        f.prompts->files.push_back(path);
        {
            const TechnicianAccount technician;
            const OwnFileSizeLimit full(limit);
            f.item("MENU_ENREGISTRER")->trigger();
        }
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QCOMPARE(f.prompts->last(), box(saveError(path), PromptIcon::None));
        // Still unsaved: leaving asks first (and is cancelled).
        QVERIFY(!f.window->close());
        if (inPlace)
            return;
        QCOMPARE(QDir(folder).entryList(QDir::Files), exists ? QStringList{name} : QStringList{});
        if (exists)
            QCOMPARE(readFile(path), kOldFile);
    }

    // The production log: every column of a row, a row put on a line of its
    // own after a last line without its end, and a log that fills up cut back
    // to what it held, the run ending with 4 and the unit's own result said.
    // A read into a file the user may not write is refused before the unit
    // (here a silent one) is read.
    void productionLog()
    {
        const QString log = dir_.filePath(u"journal.csv"_s);
        const QString back = dir_.filePath(u"relu.zel"_s);
        const QByteArray unfinished = "\xEF\xBB\xBF"
                                      "Date;Commande\r\nfoo;bar";
        QVERIFY(writeFile(log, unfinished));
        SimProcess silent;
        QVERIFY(silent.start({u"--silent-from"_s, u"0"_s}));
        CliRun run = runCli({u"read"_s, back, u"--port"_s, silent.path(), u"--log"_s, log});
        QCOMPARE(run.exitCode, 1);
        QByteArray bytes = readFile(log);
        QVERIFY(bytes.startsWith(unfinished + "\r\n"));
        auto records = csv::parse(QString::fromUtf8(bytes.sliced(3)));
        QCOMPARE(records.size(), std::size_t(3));
        QCOMPARE(records[1].fields, (QStringList{u"foo"_s, u"bar"_s}));
        const QStringList row = records[2].fields;
        QCOMPARE(row.size(), 16);
        // Where the unit stopped answering: the first address; no bytes
        // compared; no command answered, so no time per command.
        QCOMPARE(row.mid(12), (QStringList{u"0"_s, QString(), QString(), QString()}));
        QVERIFY2(QRegularExpression(u"^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d[+-]\\d\\d:\\d\\d$"_s)
                     .match(row[0])
                     .hasMatch(),
                 qPrintable(row[0]));
        // Nothing was read: no hash.
        QCOMPARE(row.mid(1, 7),
                 (QStringList{u"read"_s, silent.path(), QFileInfo(silent.path()).canonicalFilePath(), back, QString(),
                              u"1"_s, u"Problème de communication !\r\nEssayez à nouveau ."_s}));
        // Seconds with a decimal comma, as a French spreadsheet reads a number.
        QVERIFY2(QRegularExpression(u"^\\d+,\\d{3}$"_s).match(row[8]).hasMatch(), qPrintable(row[8]));
        QVERIFY(!QFile::exists(back));
        QVERIFY(writeFile(back, kOldFile) && QFile::setPermissions(back, QFile::ReadOwner | QFile::ReadOther));
        run = runLimited({u"read"_s, back, u"--port"_s, silent.path()}, qint64{4} * address::kImageSize);
        QVERIFY(run.exitCode == 4 && run.err == saveError(back) + u'\n' && readFile(back) == kOldFile);

        SimProcess unit;
        QVERIFY(unit.start());
        bytes = readFile(log);
        run = runLimited({u"test"_s, u"--port"_s, unit.path(), u"--log"_s, log}, bytes.size() + 20);
        QCOMPARE(run.exitCode, 4);
        QCOMPARE(run.err, u"Vérification terminé avec succés !\n"_s + saveError(log) + u'\n');
        QCOMPARE(readFile(log), bytes);
    }

private:
    QTemporaryDir dir_;
    QByteArray demoList_;
    QByteArray demoFile_;
};

QTEST_MAIN(TestWriteFaults)
#include "test_write_faults.moc"
