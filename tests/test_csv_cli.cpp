// `torsa-cli export` and `torsa-cli import` as processes: round trips of files
// saved by the window itself and by the store's own rules, a list edited as a
// spreadsheet would, Windows-1252 lists, refused rows, files that are not lists.

#include "editor/MainWindow.h"
#include "files/CsvRecords.h"
#include "files/MessageListCsv.h"
#include "files/ProductionFile.h"
#include "store/BlinkCoding.h"
#include "store/MessageText.h"
#include "support/MessageSets.h"
#include "support/ScriptedPrompts.h"
#include "support/CliProcess.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace torsa;
using namespace torsa::testing;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(torsa::SessionMode)

namespace {

const auto cli = [](const QStringList &arguments) { return torsa::testing::runCli(arguments); };

constexpr int kExitDataRefused = 65;

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray bytesOf(const MemoryImage &image)
{
    QByteArray out;
    for (const int c : image.cells())
        out.append(static_cast<char>(c));
    return out;
}

// A message as the technician enters it in the window.
struct Typed {
    int number;
    int unit;
    int priority;
    QString text;
    QList<int> blinking;   // character positions
};

std::vector<Typed> typedMessages(SessionMode mode)
{
    const int last = mode::lastMessage(mode);
    const QString forty = u"0123456789"_s.repeated(4);
    return {
        {0, 3, 1, u"Défaut pompe 1"_s, {8, 9, 10, 11, 12, 13, 14}},
        {1, 0, 0, u"  Arrêt; urgence  "_s, {}},
        {2, 31, last, u"Niveau \"haut\""_s, {1}},
        {5, 1, 2, forty + u'X', {36, 37, 38, 39, 40}},
        {last, 2, 0, u"§ü é â ä à ç ê ë è ï î ô ö ò û ù"_s, {3, 5}},
    };
}

// The same messages as a list typed by hand in a spreadsheet.
QByteArray typedList(SessionMode mode)
{
    QString text = csv::record({u"Mode"_s, messagelist::modeName(mode)});
    text += csv::record(messagelist::headerFields());
    for (const Typed &t : typedMessages(mode)) {
        QString mask;
        for (const int p : t.blinking) {
            mask = mask.leftJustified(p - 1, u' ');
            mask += u'^';
        }
        if (t.number == 5)
            mask += u'^';   // character 41 blinks with character 40
        text += csv::record({QString::number(t.number), t.text, QString::number(t.unit), QString::number(t.priority),
                             mask});
    }
    return text.toUtf8();
}

template <typename T>
T *child(const QObject &window, const QString &name)
{
    T *w = window.findChild<T *>(name);
    if (!w)
        qFatal("no child %s", qPrintable(name));
    return w;
}

// "Nouveau" in the mode, Yes; each message typed and validated; one refresh tick;
// "Enregistrer" under `path`.
void saveFromTheWindow(SessionMode mode, const QString &path)
{
    auto owned = std::make_unique<ScriptedPrompts>();
    ScriptedPrompts *prompts = owned.get();
    MainWindow window(std::move(owned));
    const auto bar = [&](int n) { return child<QScrollBar>(window, u"DéfilementH%1"_s.arg(n)); };

    prompts->answers.push_back(true);
    child<QAction>(window, mode == SessionMode::WithPlc ? u"MENU_ED_AVEC"_s : u"MENU_ED_SANS"_s)->trigger();
    for (const Typed &t : typedMessages(mode)) {
        bar(1)->setValue(t.number);
        bar(2)->setValue(t.unit);
        bar(3)->setValue(t.priority);
        child<QLineEdit>(window, u"Texte1"_s)->setText(t.text);
        for (const int p : t.blinking)
            child<QCheckBox>(window, u"Coche%1"_s.arg(p + 1))->setChecked(true);
        child<QPushButton>(window, u"Commande6"_s)->click();
    }
    window.Timer1_Timer();
    prompts->files.emplace_back(path);
    child<QAction>(window, u"MENU_ENREGISTRER"_s)->trigger();
    for (const Shown &shown : prompts->shown) {
        if (!shown.question)
            qFatal("the window said: %s", qPrintable(shown.text));
    }
}

// Every field but the numbers quoted, LF line ends: how some spreadsheets save.
QByteArray quotedAsASpreadsheetSaves(const std::vector<csv::Record> &records)
{
    QString text;
    for (const csv::Record &r : records) {
        QStringList fields;
        for (const QString &f : r.fields) {
            bool number = false;
            static_cast<void>(f.toInt(&number));   // only whether it is a number
            fields.append(number ? f : u'"' + QString(f).replace(u"\""_s, u"\"\""_s) + u'"');
        }
        text += fields.join(u';') + u'\n';
    }
    return text.toUtf8();
}

QByteArray toWindows1252(const QString &text)
{
    QByteArray out;
    for (const char32_t ch : text.toUcs4()) {
        const auto code = charcodes::windows1252Code(ch);
        if (!code)
            qFatal("no Windows-1252 code for U+%04X", static_cast<unsigned>(ch));
        out.append(static_cast<char>(*code));
    }
    return out;
}

} // namespace

class TestCsvCli : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(dir_.isValid()); }
    void windowFilesRoundTrip_data();
    void windowFilesRoundTrip();
    void generatedSetsRoundTrip_data();
    void generatedSetsRoundTrip();
    void stdoutAndFileAreTheSame();
    void editedCellIsImportedInPlace();
    void windows1252List();
    void refusedRowsWriteNothing();
    void notAListWritesNothing_data();
    void notAListWritesNothing();
    void exportNamesWhatWillNotSurvive();
    void usageAndFileErrors_data();
    void usageAndFileErrors();
    void helpNamesTheCommands();

private:
    QString path(const QString &name) const { return dir_.filePath(name); }
    QTemporaryDir dir_;
};

void TestCsvCli::windowFilesRoundTrip_data()
{
    QTest::addColumn<SessionMode>("mode");
    QTest::newRow("Avec automate") << SessionMode::WithPlc;
    QTest::newRow("Sans automate") << SessionMode::WithoutPlc;
}

// A file typed and saved in the window, exported and imported, comes back byte for
// byte; and the same messages typed in a spreadsheet import to that very file.
void TestCsvCli::windowFilesRoundTrip()
{
    QFETCH(SessionMode, mode);
    const QString saved = path(u"window.zel"_s);
    saveFromTheWindow(mode, saved);
    const QByteArray original = readAll(saved);
    QCOMPARE(original.size(), address::kImageSize);

    const testing::CliRun exported = cli({u"export"_s, saved, u"-o"_s, path(u"window.csv"_s)});
    QCOMPARE(exported.exitCode, 0);
    QCOMPARE(exported.err, QString());
    const testing::CliRun imported = cli({u"import"_s, path(u"window.csv"_s), u"-o"_s, path(u"back.zel"_s)});
    QCOMPARE(imported.exitCode, 0);
    QCOMPARE(imported.err, u"%1 écrit : 5 message(s), %2.\n"_s.arg(path(u"back.zel"_s), messagelist::modeName(mode)));
    QCOMPARE(readAll(path(u"back.zel"_s)), original);

    QVERIFY(writeAll(path(u"typed.csv"_s), typedList(mode)));
    QCOMPARE(cli({u"import"_s, path(u"typed.csv"_s), u"-o"_s, path(u"typed.zel"_s)}).exitCode, 0);
    QCOMPARE(readAll(path(u"typed.zel"_s)), original);
}

void TestCsvCli::generatedSetsRoundTrip_data()
{
    QTest::addColumn<SessionMode>("mode");
    QTest::addColumn<quint32>("seed");
    for (const SessionMode mode : {SessionMode::WithPlc, SessionMode::WithoutPlc}) {
        for (const quint32 seed : {11u, 12u, 13u})
            QTest::addRow("%s, seed %u", qPrintable(messagelist::modeName(mode)), seed) << mode << seed;
    }
}

void TestCsvCli::generatedSetsRoundTrip()
{
    QFETCH(SessionMode, mode);
    QFETCH(quint32, seed);
    const MemoryImage image = generatedSet(mode, seed, 400);
    QVERIFY(productionfile::write(path(u"set.zel"_s), image));
    QCOMPARE(cli({u"export"_s, path(u"set.zel"_s), u"-o"_s, path(u"set.csv"_s)}).exitCode, 0);
    QCOMPARE(cli({u"import"_s, path(u"set.csv"_s), u"-o"_s, path(u"set-back.zel"_s)}).exitCode, 0);
    QCOMPARE(readAll(path(u"set-back.zel"_s)), bytesOf(image));
}

void TestCsvCli::stdoutAndFileAreTheSame()
{
    const MemoryImage image = limitSet(SessionMode::WithPlc);
    QVERIFY(productionfile::write(path(u"limits.zel"_s), image));
    const testing::CliRun toStdout = cli({u"export"_s, path(u"limits.zel"_s)});
    QCOMPARE(toStdout.exitCode, 0);
    QCOMPARE(toStdout.err, QString());
    QVERIFY(toStdout.out.startsWith("\xEF\xBB\xBF" "Mode;Avec automate\r\nNum\xC3\xA9ro;Texte;"));
    QCOMPARE(toStdout.out, messagelist::toCsv(messagelist::fromImage(image)));
    QCOMPARE(cli({u"export"_s, u"-o"_s, path(u"limits.csv"_s), path(u"limits.zel"_s)}).exitCode, 0);
    QCOMPARE(readAll(path(u"limits.csv"_s)), toStdout.out);
}

// Exported, one text changed in a spreadsheet (accents, a new blink mask, every
// text re-quoted on saving), imported, opened: the change is in place and every
// other cell is as it was.
void TestCsvCli::editedCellIsImportedInPlace()
{
    const MemoryImage original = limitSet(SessionMode::WithPlc);
    QVERIFY(productionfile::write(path(u"before.zel"_s), original));
    const testing::CliRun exported = cli({u"export"_s, path(u"before.zel"_s)});
    QCOMPARE(exported.exitCode, 0);

    std::vector<csv::Record> records = csv::parse(QString::fromUtf8(exported.out.mid(3)));
    const QString changed = u"Arrêt d'urgence à l'écluse"_s;
    bool found = false;
    for (csv::Record &r : records) {
        if (r.fields.first() == u"3") {
            r.fields[1] = changed;
            r.fields[4] = u"       ^^^^^^^"_s;
            found = true;
        }
    }
    QVERIFY(found);
    QVERIFY(writeAll(path(u"edited.csv"_s), "\xEF\xBB\xBF" + quotedAsASpreadsheetSaves(records)));
    const testing::CliRun imported = cli({u"import"_s, path(u"edited.csv"_s), u"-o"_s, path(u"after.zel"_s)});
    QCOMPARE(imported.err, u"%1 écrit : 7 message(s), Avec automate.\n"_s.arg(path(u"after.zel"_s)));
    QCOMPARE(imported.exitCode, 0);

    const auto after = productionfile::read(path(u"after.zel"_s));
    QVERIFY(after);
    QCOMPARE(text::decode(*after, 3), changed);
    BlinkFlags flags{};
    for (int k = 8; k <= 14; ++k)
        flags.at(static_cast<std::size_t>(k)) = true;
    QCOMPARE(blink::decodeFlags(*after, 3), flags);
    QCOMPARE(after->unit(3), original.unit(3));
    QCOMPARE(after->priority(3), original.priority(3));
    for (int a = 0; a < address::kImageSize; ++a) {
        if (a / address::kSlotSize != 3)
            QCOMPARE((*after)[a], original[a]);
    }
}

// What a spreadsheet on French Windows saves: no mark, Windows-1252. It is read as
// such, with a note, and gives the very file the UTF-8 list gives.
void TestCsvCli::windows1252List()
{
    const MemoryImage image = limitSet(SessionMode::WithoutPlc);
    const QByteArray utf8 = messagelist::toCsv(messagelist::fromImage(image));
    QVERIFY(writeAll(path(u"ansi.csv"_s), toWindows1252(QString::fromUtf8(utf8.mid(3)))));
    const testing::CliRun run = cli({u"import"_s, path(u"ansi.csv"_s), u"-o"_s, path(u"ansi.zel"_s)});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.err.startsWith(u"%1 n'est pas en UTF-8 : il est lu comme un fichier Windows-1252, l'encodage des "
                                "tableurs sous Windows.\n"_s.arg(path(u"ansi.csv"_s))),
             qPrintable(run.err));
    QCOMPARE(readAll(path(u"ansi.zel"_s)), bytesOf(image));
}

// Every refused row is named; the file already there keeps its bytes.
void TestCsvCli::refusedRowsWriteNothing()
{
    const QString list = path(u"bad.csv"_s);
    const QString out = path(u"kept.zel"_s);
    const QByteArray previous(address::kImageSize, '\x2A');
    QVERIFY(writeAll(out, previous));
    QVERIFY(writeAll(list, "\xEF\xBB\xBF" + u"Mode;Sans automate\r\n"
                                              "Numéro;Texte;Unité;Priorité;Clignotement\r\n"
                                              "0;Pompe;1;4;\r\n"
                                              "1;Vanne;1;4;\r\n"
                                              "2;Été;0;0;\r\n"
                                              "17;Four;0;0;\r\n"
                                              "3;Porte;0;0;\"     ^\"\r\n"_s.toUtf8()));
    const testing::CliRun run = cli({u"import"_s, list, u"-o"_s, out});
    QCOMPARE(run.exitCode, kExitDataRefused);
    const QString indent(QStringLiteral("%1, ligne 4 : ").arg(list).size(), u' ');
    QCOMPARE(run.err, u"%1, ligne 4 : Le message n°0 à le même degrés de priorité\n"
                      "%2Corriger le degrés de priorité.\n"
                      "%1, ligne 5 : Caractère ASCII supérieur à &H9F ! C9\n"
                      "%2Veuillez modifier le message.\n"
                      "%1, ligne 6 : numéro 17 hors de la plage du mode Sans automate (0 à 16)\n"
                      "%1, ligne 7 : clignotement : le masque a 6 positions, le texte seulement 5 caractère(s)\n"
                      "4 refus sur 4 ligne(s) : %3 n'est pas écrit.\n"_s.arg(list, indent, out));
    QCOMPARE(readAll(out), previous);

    QCOMPARE(cli({u"import"_s, list, u"-o"_s, path(u"never.zel"_s)}).exitCode, kExitDataRefused);
    QVERIFY(!QFile::exists(path(u"never.zel"_s)));
}

void TestCsvCli::notAListWritesNothing_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("failure");
    MemoryImage image = limitSet(SessionMode::WithPlc);
    QTest::newRow("a production file") << bytesOf(image)
                                       << u"ce n'est pas un fichier CSV : il contient des octets binaires (un fichier "
                                          "de production .zel, peut-être)"_s;
    QTest::newRow("empty") << QByteArray() << u"le fichier est vide"_s;
    QTest::newRow("a letter") << u"Bonjour,\r\nvoici la liste des défauts.\r\n"_s.toUtf8()
                              << u"ce n'est pas une liste de messages : la ligne 1 doit être « Mode;Avec automate » "
                                 "ou « Mode;Sans automate »"_s;
    QTest::newRow("UTF-16 text") << QByteArray("\xFF\xFEM\0o\0d\0e\0", 10)
                                 << u"le fichier est en UTF-16 (« Texte Unicode ») ; enregistrez-le au format « CSV "
                                    "UTF-8 » (séparateur : point-virgule)"_s;
}

void TestCsvCli::notAListWritesNothing()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, failure);
    const QString list = path(u"notalist.csv"_s);
    const QString out = path(u"notwritten.zel"_s);
    QVERIFY(writeAll(list, bytes));
    const testing::CliRun run = cli({u"import"_s, list, u"-o"_s, out});
    QCOMPARE(run.exitCode, kExitDataRefused);
    QCOMPARE(run.err, u"%1 : %2 ; %3 n'est pas écrit.\n"_s.arg(list, failure, out));
    QVERIFY(!QFile::exists(out));
}

// Leftovers of a longer text and a message outside the mode's numbers: the list is
// written all the same, and stderr says what an import of it will not give back.
void TestCsvCli::exportNamesWhatWillNotSurvive()
{
    MemoryImage image = newSession(SessionMode::WithoutPlc);
    QVERIFY(type(image, SessionMode::WithoutPlc, edited(3, 1, 0, u"Un texte assez long"_s)));
    QVERIFY(type(image, SessionMode::WithoutPlc, edited(3, 1, 0, u"Court"_s)));
    refreshTick(image, SessionMode::WithoutPlc);
    validation::store(image, edited(20, 0, 0, u"Hors plage"_s)); // left by a with-PLC set
    refreshTick(image, SessionMode::WithoutPlc);
    QVERIFY(productionfile::write(path(u"lossy.zel"_s), image));

    const QString list = path(u"lossy.csv"_s);
    const testing::CliRun run = cli({u"export"_s, path(u"lossy.zel"_s), u"-o"_s, list});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, u"Attention : la liste ne porte pas tout %1 ; importée, elle ne redonnera pas le même fichier.\n"
                      "%2, ligne 4 : numéro 20 hors de la plage du mode Sans automate (0 à 16)\n"
                      "  cellules 140 à 153 : message n°3, après la fin de son texte (reste d'un texte plus long)\n"
                      "  cellule 880 : message n°20, refusé à l'import\n"
                      "  cellules 882 à 892 : message n°20, refusé à l'import\n"
                      "  cellule 7982 : bloc de résumé, réécrit par le rafraîchissement\n"
                      "  cellule 8190 : nombre de messages vides, recompté\n"_s.arg(path(u"lossy.zel"_s), list));
    QCOMPARE(readAll(list), messagelist::toCsv(messagelist::fromImage(image)));
}

void TestCsvCli::usageAndFileErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("err");
    const QString exportUsage = u"Usage : torsa-cli export FILE.zel [-o LIST.csv]\n"_s;
    const QString importUsage = u"Usage : torsa-cli import LIST.csv -o FILE.zel\n"_s;
    QTest::newRow("export, no file") << QStringList{u"export"_s} << 64 << exportUsage;
    QTest::newRow("export, two files") << QStringList{u"export"_s, u"a.zel"_s, u"b.zel"_s} << 64 << exportUsage;
    QTest::newRow("export, -o alone") << QStringList{u"export"_s, u"a.zel"_s, u"-o"_s} << 64 << exportUsage;
    QTest::newRow("export, unknown option") << QStringList{u"export"_s, u"a.zel"_s, u"--all"_s} << 64 << exportUsage;
    QTest::newRow("import, no output") << QStringList{u"import"_s, u"a.csv"_s} << 64 << importUsage;
    QTest::newRow("export, no such file") << QStringList{u"export"_s, u"@missing.zel"_s} << 4
                                          << u"Erreur d'ouverture de @missing.zel\n"_s;
    QTest::newRow("import, no such file") << QStringList{u"import"_s, u"@missing.csv"_s, u"-o"_s, u"@x.zel"_s} << 4
                                          << u"Erreur d'ouverture de @missing.csv\n"_s;
    QTest::newRow("import, a directory") << QStringList{u"import"_s, u"@"_s, u"-o"_s, u"@x.zel"_s} << 4
                                         << u"Erreur d'ouverture de @\n"_s;
    QTest::newRow("import, output cannot be made")
        << QStringList{u"import"_s, u"@empty-set.csv"_s, u"-o"_s, u"@no/such/dir/x.zel"_s} << 4
        << u"Erreur lors de la création de @no/such/dir/x.zel. Essayer à nouveau\n"_s;
    QTest::newRow("export, file without a mode")
        << QStringList{u"export"_s, u"@no-mode.zel"_s, u"-o"_s, u"@no/such/dir/x.csv"_s} << kExitDataRefused
        << u"@no-mode.zel : la cellule de mode 8188 vaut 0, ni 65 (« Avec automate ») ni 83 (« Sans automate ») ; "
           "rien n'est exporté.\n"_s;
    QTest::newRow("export, list cannot be made")
        << QStringList{u"export"_s, u"@with-plc.zel"_s, u"-o"_s, u"@no/such/dir/x.csv"_s} << 4
        << u"Erreur lors de la création de @no/such/dir/x.csv. Essayer à nouveau\n"_s;
}

// "@" stands for the test's own directory.
void TestCsvCli::usageAndFileErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, err);
    const QString base = dir_.path() + u'/';
    MemoryImage noMode;
    refreshTick(noMode, SessionMode::None);
    QVERIFY(productionfile::write(path(u"no-mode.zel"_s), noMode));
    QVERIFY(productionfile::write(path(u"with-plc.zel"_s), limitSet(SessionMode::WithPlc)));
    QVERIFY(writeAll(path(u"empty-set.csv"_s), "Mode;Avec automate\r\nNuméro;Texte;Unité;Priorité;Clignotement\r\n"));
    for (QString &a : arguments) {
        if (a.startsWith(u'@'))
            a = base + a.mid(1);
    }
    const testing::CliRun run = cli(arguments);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.err, QString(err).replace(u"@"_s, base));
    QVERIFY(run.out.isEmpty());
}

void TestCsvCli::helpNamesTheCommands()
{
    const testing::CliRun run = cli({u"--help"_s});
    QCOMPARE(run.exitCode, 0);
    const QString help = QString::fromUtf8(run.out);
    for (const QString &part : {u"export FILE.zel [-o LIST.csv]"_s, u"import LIST.csv -o FILE.zel"_s,
                                u"Exit status of export and import:"_s, u"65  rows refused"_s})
        QVERIFY2(help.contains(part), qPrintable(part));
}

QTEST_MAIN(TestCsvCli)
#include "test_csv_cli.moc"
