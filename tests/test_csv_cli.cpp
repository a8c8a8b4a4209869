// `torsa-cli export` and `torsa-cli import` as processes: a file saved by the
// window and edited as a spreadsheet would, Windows-1252 lists, refused rows, what
// an export cannot carry, usage and file errors.

#include "support/CliProcess.h"
#include "support/MessageSets.h"
#include "support/WindowUnderTest.h"
#include "files/MessageListCsv.h"
#include "files/ProductionFile.h"
#include "store/CharCodes.h"

#include <QCheckBox>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

using namespace torsa;
using namespace torsa::testing;
using namespace Qt::StringLiterals;

namespace {

constexpr int kExitDataRefused = 65;

// "Nouveau" in the mode, each message typed and validated, one refresh tick,
// "Enregistrer" under `path`: a file the technician makes. False when the window
// said anything but the new-session question.
bool saveFromTheWindow(SessionMode mode, const QString &path)
{
    const int last = mode::lastMessage(mode);
    WindowUnderTest w;
    w.newSession(mode == SessionMode::WithPlc ? "MENU_ED_AVEC" : "MENU_ED_SANS");
    for (const EditedMessage &m : {edited(0, 3, 1, u"Défaut pompe 1"_s, {8, 9, 10, 11, 12, 13, 14}),
                                   edited(1, 0, 0, u"  Arrêt; urgence  "_s),
                                   edited(2, 31, last, u"Niveau \"haut\""_s, {1}),
                                   edited(5, 1, 2, u"0123456789"_s.repeated(4) + u'X', {36, 37, 38, 39, 40}),
                                   edited(last, 2, 0, u"§ü é â ä à ç ê ë è ï î ô ö ò û ù"_s, {3, 5})}) {
        w.get<QScrollBar>("DéfilementH1")->setValue(m.number);
        w.get<QScrollBar>("DéfilementH2")->setValue(m.unit);
        w.get<QScrollBar>("DéfilementH3")->setValue(m.priority);
        w.text()->setText(m.text);
        for (int k = 0; k < kBlinkBoxCount; ++k)
            w.get<QCheckBox>(u"Coche%1"_s.arg(k + 2))->setChecked(m.blink.at(static_cast<std::size_t>(k)));
        w.click("Commande6");
    }
    w.window->Timer1_Timer();
    w.prompts->files.emplace_back(path);
    w.item("MENU_ENREGISTRER")->trigger();
    return w.prompts->shown.size() == 1;
}

} // namespace

class TestCsvCli : public QObject {
    Q_OBJECT

    QString path(const QString &name) const { return dir_.filePath(name); }
    QTemporaryDir dir_;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        MemoryImage noMode;
        refreshTick(noMode, SessionMode::None);
        QVERIFY(productionfile::write(path(u"no-mode.zel"_s), noMode));
        QVERIFY(productionfile::write(path(u"with-plc.zel"_s), limitSet(SessionMode::WithPlc)));
        QVERIFY(writeFile(path(u"empty-set.csv"_s),
                          "Mode;Avec automate\r\nNuméro;Texte;Unité;Priorité;Clignotement\r\n"));
    }

    // A file saved by the window, exported to a file and to stdout alike, imported:
    // the same bytes. Then one row changed and the list saved again as a spreadsheet
    // on French Windows saves it: text quoted, LF line ends, Windows-1252 without a
    // mark (€ and œ among the signs of 128 to 159). The list is read as such, with a
    // note, and the file imported opens with that message as a technician typing it
    // again would have stored it.
    void windowFileThroughASpreadsheet()
    {
        const SessionMode mode = SessionMode::WithPlc;
        const QString saved = path(u"window.zel"_s);
        const QString list = path(u"window.csv"_s);
        const QString back = path(u"back.zel"_s);
        QVERIFY(saveFromTheWindow(mode, saved));

        const CliRun exported = runCli({u"export"_s, u"-o"_s, list, saved});
        QCOMPARE(exported.exitCode, 0);
        QCOMPARE(exported.err, QString());
        const QByteArray toStdout = runCli({u"export"_s, saved}).out;
        QCOMPARE(toStdout, readFile(list));
        const CliRun imported = runCli({u"import"_s, list, u"-o"_s, back});
        QCOMPARE(imported.exitCode, 0);
        const QString written = u"%1 écrit : 5 message(s), %2.\n"_s.arg(back, messagelist::modeName(mode));
        QCOMPARE(imported.err, written);
        QCOMPARE(readFile(back), readFile(saved));

        const QString changed = u"Arrêt d'urgence à l'écluse, 5 € œ"_s;
        QString text = QString::fromUtf8(toStdout.mid(3));
        const qsizetype row = text.indexOf(u"\r\n1;"_s) + 2;
        text.replace(row, text.indexOf(u"\r\n"_s, row) - row, u"1;\"%1\";0;0;\"       ^^^^^^^\""_s.arg(changed));
        QByteArray ansi;
        for (const char32_t ch : text.replace(u"\r\n"_s, u"\n"_s).toUcs4())
            ansi.append(static_cast<char>(charcodes::windows1252Code(ch).value_or('?')));
        QVERIFY(writeFile(list, ansi));
        QCOMPARE(runCli({u"import"_s, list, u"-o"_s, back}).err,
                 u"%1 n'est pas en UTF-8 : il est lu comme un fichier Windows-1252, l'encodage des tableurs sous "
                 "Windows.\n"_s.arg(list) + written);
        MemoryImage expected = productionfile::read(saved).value();
        QVERIFY(type(expected, mode, edited(1, 0, 0, changed, {8, 9, 10, 11, 12, 13, 14})));
        refreshTick(expected, mode);
        const auto opened = productionfile::read(back);
        QVERIFY(opened && *opened == expected);
    }

    // All refusals in one run, each with its row; nothing written, an older file kept.
    void refusedRowsWriteNothing()
    {
        const QString list = path(u"bad.csv"_s);
        const QString out = path(u"kept.zel"_s);
        const QByteArray previous(address::kImageSize, '\x2A');
        QVERIFY(writeFile(out, previous));
        QVERIFY(writeFile(list, "\xEF\xBB\xBF" + u"Mode;Sans automate\r\n"
                                                  "Numéro;Texte;Unité;Priorité;Clignotement\r\n"
                                                  "0;Pompe;1;4;\r\n"
                                                  "1;Vanne;1;4;\r\n"
                                                  "17;Four;0;0;\r\n"_s.toUtf8()));
        const CliRun run = runCli({u"import"_s, list, u"-o"_s, out});
        QCOMPARE(run.exitCode, kExitDataRefused);
        const QString indent(u"%1, ligne 4 : "_s.arg(list).size(), u' ');
        QCOMPARE(run.err, u"%1, ligne 4 : Le message n°0 à le même degrés de priorité\n"
                          "%2Corriger le degrés de priorité.\n"
                          "%1, ligne 5 : numéro 17 hors de la plage du mode Sans automate (0 à 16)\n"
                          "2 refus sur 2 ligne(s) : %3 n'est pas écrit.\n"_s.arg(list, indent, out));
        QCOMPARE(readFile(out), previous);
    }

    // The list is written all the same, and stderr names every part of the file that
    // an import of it will not give back.
    void exportNamesWhatWillNotSurvive()
    {
        MemoryImage image = newSession(SessionMode::WithoutPlc);
        QVERIFY(type(image, SessionMode::WithoutPlc, edited(3, 1, 0, u"Un texte assez long"_s)));
        QVERIFY(type(image, SessionMode::WithoutPlc, edited(3, 1, 0, u"Court"_s)));
        validation::store(image, edited(20, 0, 0, u"Hors plage"_s)); // left by a with-PLC set
        refreshTick(image, SessionMode::WithoutPlc);
        image.set(address::unitCell(9), 5);                        // absent, yet not 0
        image.set(address::slotStart(address::kSlotCount) + 2, 1); // cell 7966
        image.set(address::kLinkTestCell, 170);
        QVERIFY(productionfile::write(path(u"lossy.zel"_s), image));

        const QString list = path(u"lossy.csv"_s);
        const CliRun run = runCli({u"export"_s, path(u"lossy.zel"_s), u"-o"_s, list});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, u"Attention : la liste ne porte pas tout %1 ; importée, elle ne redonnera pas le même "
                          "fichier.\n"
                          "%2, ligne 4 : numéro 20 hors de la plage du mode Sans automate (0 à 16)\n"
                          "  cellules 140 à 153 : message n°3, après la fin de son texte (reste d'un texte plus long)\n"
                          "  cellule 396 : emplacement n°9, message absent\n"
                          "  cellule 880 : message n°20, refusé à l'import\n"
                          "  cellules 882 à 892 : message n°20, refusé à l'import\n"
                          "  cellule 7966 : cellules hors messages\n"
                          "  cellule 7982 : bloc de résumé, réécrit par le rafraîchissement\n"
                          "  cellule 8190 : nombre de messages vides, recompté\n"
                          "  cellule 8191 : cellule du test de liaison\n"_s.arg(path(u"lossy.zel"_s), list));
        QCOMPARE(readFile(list), messagelist::toCsv(messagelist::fromImage(image)));
    }

    void usageAndFileErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("err");
        QTest::newRow("import, no output") << QStringList{u"import"_s, u"a.csv"_s} << 64
                                           << u"Usage : torsa-cli import LIST.csv -o FILE.zel\n"_s;
        QTest::newRow("export, no such file") << QStringList{u"export"_s, u"@missing.zel"_s} << 4
                                              << u"Erreur d'ouverture de @missing.zel\n"_s;
        QTest::newRow("import, a directory") << QStringList{u"import"_s, u"@"_s, u"-o"_s, u"@x.zel"_s} << 4
                                             << u"Erreur d'ouverture de @\n"_s;
        QTest::newRow("import, a production file")
            << QStringList{u"import"_s, u"@with-plc.zel"_s, u"-o"_s, u"@x.zel"_s} << kExitDataRefused
            << u"@with-plc.zel : ce n'est pas un fichier CSV : il contient des octets binaires (un fichier de "
               "production .zel, peut-être) ; @x.zel n'est pas écrit.\n"_s;
        QTest::newRow("import, output cannot be made")
            << QStringList{u"import"_s, u"@empty-set.csv"_s, u"-o"_s, u"@no/such/dir/x.zel"_s} << 4
            << u"Erreur lors de la création de @no/such/dir/x.zel. Essayer à nouveau\n"_s;
        QTest::newRow("export, file without a mode")
            << QStringList{u"export"_s, u"@no-mode.zel"_s, u"-o"_s, u"@x.csv"_s} << kExitDataRefused
            << u"@no-mode.zel : la cellule de mode 8188 vaut 0, ni 65 (« Avec automate ») ni 83 (« Sans automate ») ; "
               "rien n'est exporté.\n"_s;
        QTest::newRow("export, list cannot be made")
            << QStringList{u"export"_s, u"@with-plc.zel"_s, u"-o"_s, u"@no/such/dir/x.csv"_s} << 4
            << u"Erreur lors de la création de @no/such/dir/x.csv. Essayer à nouveau\n"_s;
    }

    // "@" stands for the test's own directory.
    void usageAndFileErrors()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, err);
        const QString base = dir_.path() + u'/';
        arguments.replaceInStrings(u"@"_s, base);
        const CliRun run = runCli(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(run.err, err.replace(u"@"_s, base));
        QVERIFY(run.out.isEmpty());
        QVERIFY(!QFile::exists(path(u"x.zel"_s)) && !QFile::exists(path(u"x.csv"_s)));
    }
};

QTEST_MAIN(TestCsvCli)
#include "test_csv_cli.moc"
