// torsa-cli list, export and import as processes. The sample production files
// are what their message lists give when typed through the rules of "Valider"
// (the import does exactly that), and export gives the lists back; then a list
// edited in a spreadsheet, refused rows, what an export cannot carry, and every
// usage and file error with its exit status; the serial ports present, and the
// choice between a progress redrawn in place and plain lines.

#include "../tools/torsa-cli/BoardLayout.h"
#include "../tools/torsa-cli/ProgressStyle.h"
#include "files/MessageListCsv.h"
#include "files/ProductionFile.h"
#include "link/SerialPorts.h"
#include "store/CharCodes.h"
#include "support/CliProcess.h"
#include "support/MessageSets.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <tuple>

using namespace torsa;
using namespace torsa::testing;
using namespace Qt::StringLiterals;

namespace {

constexpr int kExitDataRefused = 65;

} // namespace

class TestCliFiles : public QObject {
    Q_OBJECT

    QString path(const QString &name) const { return dir_.filePath(name); }
    QTemporaryDir dir_;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        MemoryImage noMode;
        refreshTick(noMode, SessionMode::None);
        QVERIFY(productionfile::write(path(u"no-mode.zel"_s), noMode) == files::SaveResult::Saved);
        QVERIFY(QFile::copy(sample(u"demo.zel"_s), path(u"with-plc.zel"_s)));
        QVERIFY(
            writeFile(path(u"empty-set.csv"_s), "Mode;Avec automate\r\nNuméro;Texte;Unité;Priorité;Clignotement\r\n"));
        QVERIFY(writeFile(path(u"short.zel"_s), QByteArray(100, 'A')));
    }

    void samplesAreTheirLists_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("written");
        QTest::newRow("with PLC") << u"demo"_s << u"25 message(s), Avec automate."_s;
        QTest::newRow("without PLC") << u"demo-sans-automate"_s << u"9 message(s), Sans automate."_s;
    }

    void samplesAreTheirLists()
    {
        QFETCH(QString, name);
        QFETCH(QString, written);
        const CliRun exported = runCli({u"export"_s, sample(name + u".zel"_s)});
        QVERIFY(exported.exitCode == 0 && exported.err.isEmpty());
        QCOMPARE(exported.out, readFile(sample(name + u".csv"_s)));
        // A folder name outside Windows-1252: paths and arguments go through whole.
        QVERIFY(QDir(dir_.path()).mkpath(u"Ligne été ŒŸ — Δ"_s));
        const QString back = path(u"Ligne été ŒŸ — Δ/"_s + name + u".zel"_s);
        const CliRun imported = runCli({u"import"_s, sample(name + u".csv"_s), u"-o"_s, back});
        QCOMPARE(imported.exitCode, 0);
        QCOMPARE(imported.err, back + u" écrit : "_s + written + u'\n');
        QCOMPARE(readFile(back), readFile(sample(name + u".zel"_s)));
    }

    // Texts holding the list's own separator and quote come back whole.
    void separatorsAndQuotesSurvive()
    {
        MemoryImage image = newSession(SessionMode::WithoutPlc);
        const QStringList texts{u"a;b"_s, u"\"cité\""_s, u";"_s, u"\""_s, u"x\";\"y"_s, u" ; \"\" "_s};
        for (int n = 0; n < texts.size(); ++n)
            QVERIFY(type(image, SessionMode::WithoutPlc, edited(n, 1, 0, texts[n])));
        refreshTick(image, SessionMode::WithoutPlc);
        QVERIFY(productionfile::write(path(u"cite.zel"_s), image) == files::SaveResult::Saved);
        const CliRun exported = runCli({u"export"_s, path(u"cite.zel"_s), u"-o"_s, path(u"cite.csv"_s)});
        const CliRun imported = runCli({u"import"_s, path(u"cite.csv"_s), u"-o"_s, path(u"retour.zel"_s)});
        QVERIFY(exported.exitCode == 0 && imported.exitCode == 0);
        QCOMPARE(readFile(path(u"retour.zel"_s)), readFile(path(u"cite.zel"_s)));
    }

    // What a freshly started program shows once it has opened the file and run
    // one tick: the mode comes from the file, the stale empty count is recounted.
    void list()
    {
        MemoryImage image = productionfile::read(sample(u"demo-sans-automate.zel"_s)).value();
        image.set(address::kEmptyCountCell, 0);
        QVERIFY(productionfile::write(path(u"stale.zel"_s), image) == files::SaveResult::Saved);
        CliRun run = runCli({u"list"_s, path(u"stale.zel"_s)});
        QVERIFY(run.exitCode == 0 && run.err.isEmpty());
        const QList<QByteArray> lines = run.out.split('\n');
        QCOMPARE(lines.size(), 2 + 2 + 9 + 1);
        QCOMPARE(lines.mid(0, 5),
                 (QList<QByteArray>{"Centrale de défauts :Sans automate.  \r", "8 messages vides.\r",
                                    "Numéro | Unité | Priorité |                 MESSAGE\r", QByteArray(68, '-') + '\r',
                                    " n°000 | U: 01 |  P: 001  | Défaut pompe P1     Disjoncteur ouvert  \r"}));
        QCOMPARE(lines.last(), QByteArray());
        run = runCli({u"list"_s, path(u"no-mode.zel"_s)});
        QVERIFY(run.out.startsWith("Centrale de défauts :\r\n Aucun message\r\n"));
    }

    // A list saved again by a spreadsheet on French Windows: Windows-1252 without a
    // mark (€ and œ among the signs of 128 to 159), LF line ends, texts quoted. It
    // is read as such, with a note, and gives the file a technician typing the
    // changed message again would have saved.
    void spreadsheetSavesInWindows1252()
    {
        const QString changed = u"Batterie onduleur à remplacer : 5 € œ"_s;
        QString text = QString::fromUtf8(readFile(sample(u"demo.csv"_s)).mid(3));
        const qsizetype row = text.indexOf(u"\r\n16;"_s) + 2;
        text.replace(row, text.indexOf(u"\r\n"_s, row) - row, u"16;\"%1\";0;0;\"^^^^^^^^\""_s.arg(changed));
        QByteArray ansi;
        for (const char32_t ch : text.replace(u"\r\n"_s, u"\n"_s).toUcs4())
            ansi.append(static_cast<char>(charcodes::windows1252Code(ch).value_or('?')));
        const QString list = path(u"tableur.csv"_s);
        const QString back = path(u"tableur.zel"_s);
        QVERIFY(writeFile(list, ansi));
        const CliRun run = runCli({u"import"_s, list, u"-o"_s, back});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err,
                 u"%1 n'est pas en UTF-8 : il est lu comme un fichier Windows-1252, l'encodage des tableurs "
                 "sous Windows.\n%2 écrit : 25 message(s), Avec automate.\n"_s.arg(list, back));
        MemoryImage expected = productionfile::read(sample(u"demo.zel"_s)).value();
        QVERIFY(type(expected, SessionMode::WithPlc, edited(16, 0, 0, changed, {1, 2, 3, 4, 5, 6, 7, 8})));
        refreshTick(expected, SessionMode::WithPlc);
        QCOMPARE(readFile(back), bytesOf(expected));
    }

    // All refusals in one run, each with its row; nothing written, an older file kept.
    void refusedRowsWriteNothing()
    {
        const QString list = path(u"bad.csv"_s);
        const QString out = path(u"kept.zel"_s);
        const QByteArray previous(address::kImageSize, '\x2A');
        QVERIFY(writeFile(out, previous));
        QVERIFY(writeFile(list,
                          "\xEF\xBB\xBF"
                              + u"Mode;Sans automate\r\n"
                                "Numéro;Texte;Unité;Priorité;Clignotement\r\n"
                                "0;Pompe;1;4;\r\n"
                                "1;Vanne;1;4;\r\n"
                                "17;Four;0;0;\r\n"_s.toUtf8()));
        const CliRun run = runCli({u"import"_s, list, u"-o"_s, out});
        QCOMPARE(run.exitCode, kExitDataRefused);
        const QString indent(u"%1, ligne 4 : "_s.arg(list).size(), u' ');
        QCOMPARE(run.err,
                 u"%1, ligne 4 : Le message n°0 à le même degrés de priorité\n"
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
        QVERIFY(productionfile::write(path(u"lossy.zel"_s), image) == files::SaveResult::Saved);

        const QString list = path(u"lossy.csv"_s);
        const CliRun run = runCli({u"export"_s, path(u"lossy.zel"_s), u"-o"_s, list});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err,
                 u"Attention : la liste ne porte pas tout %1 ; importée, elle ne redonnera pas le même "
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

    // The ports the core lists, in its table, or a line saying there is none.
    void ports()
    {
        const CliRun run = runCli({u"ports"_s});
        QCOMPARE(run.exitCode, 0);
        const QList<link::PresentPort> present = link::presentPorts();
        QCOMPARE(run.out, link::portLines(present, link::comDevicesNow()).toUtf8());
        QCOMPARE(run.err, present.isEmpty() ? u"Aucun port série sur ce poste.\n"_s : QString());
    }

    // In place only on a terminal that takes escape sequences, asked for on a
    // terminal only (a Windows console may refuse them): otherwise lines.
    void progressStyle()
    {
        using enum cli::ProgressStyle;
        for (const auto &[terminal, accepts, style] :
             {std::tuple{true, true, InPlace}, std::tuple{true, false, Lines}, std::tuple{false, true, Lines}}) {
            bool asked = false;
            const auto enable = [&asked, accepts = accepts] {
                asked = true;
                return accepts;
            };
            QCOMPARE(cli::progressStyle(terminal, enable), style);
            QCOMPARE(asked, terminal);
        }
    }

    // The board fits the terminal: a line too wide loses the port name's head,
    // then the activity, never the figures; more units than rows leave out the
    // units done well and end on the totals. Units: "port" running, "port+"
    // done well, "port!" failed.
    void boardLayout_data()
    {
        QTest::addColumn<QStringList>("units");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<QStringList>("lines");
        const QString run = u" Programmation en cours..."_s;
        const QString figures = u"  45%  effectuée  Temps écoulé 0:39, reste 0:47"_s; // 47 characters
        const QStringList two{u"/dev/ttyUSB0"_s, u"/dev/serial/by-id/usb-FTDI-if00-port0"_s};
        QTest::newRow("unknown size") << two << 0 << 0
                                      << QStringList{u"/dev/ttyUSB0"_s + QString(25, u' ') + run + figures,
                                                     two[1] + run + figures};
        QTest::newRow("port cut") << two << 90 << 24
                                  << QStringList{u"/dev/ttyUSB0     "_s + run + figures,
                                                 u"…-FTDI-if00-port0"_s + run + figures};
        QTest::newRow("activity dropped")
            << two << 60 << 24 << QStringList{u"/dev/ttyUSB0 "_s + figures, u"…I-if00-port0"_s + figures};
        QTest::newRow("as many units as rows")
            << QStringList{u"COM1+"_s, u"COM2!"_s, u"COM3!"_s, u"COM4!"_s, u"COM5"_s, u"COM6"_s} << 80 << 6
            << QStringList{u"COM2  Problème"_s, u"COM3  Problème"_s, u"COM4  Problème"_s, u"COM5"_s + run + figures,
                           u"6 unités : 2 en cours, 1 bonnes, 3 en échec"_s};
    }

    void boardLayout()
    {
        QFETCH(QStringList, units);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(QStringList, lines);
        std::vector<cli::BoardUnit> board;
        for (const QString &unit : units) {
            using enum cli::BoardUnit::State;
            if (unit.endsWith(u'+') || unit.endsWith(u'!'))
                board.push_back({unit.chopped(1), u"  Problème"_s, {}, unit.endsWith(u'+') ? Succeeded : Failed});
            else
                board.push_back({unit, u" Programmation en cours..."_s,
                                 u"  45%  effectuée  Temps écoulé 0:39, reste 0:47"_s, Running});
        }
        QCOMPARE(cli::boardLines(board, width, height), lines);
    }

    // "@" stands for the test's own directory; "HELP" for what --help prints.
    void errors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("err");
        QTest::newRow("help") << QStringList{u"--help"_s} << 0 << QString();
        QTest::newRow("nothing") << QStringList{} << 64 << u"Il manque la commande.\nHELP"_s;
        QTest::newRow("unknown command") << QStringList{u"lister"_s, u"a.zel"_s} << 64
                                         << u"Commande inconnue : lister\nHELP"_s;
        QTest::newRow("list, short file") << QStringList{u"list"_s, u"@short.zel"_s} << 4
                                          << u"Erreur d'ouverture de @short.zel\ntrop court : 100 octets sur 8192\n"_s;
        QTest::newRow("import, no output")
            << QStringList{u"import"_s, u"a.csv"_s} << 64 << u"Usage : torsa-cli import LIST.csv -o FILE.zel\n"_s;
        QTest::newRow("export, no such file")
            << QStringList{u"export"_s, u"@missing.zel"_s} << 4 << u"Erreur d'ouverture de @missing.zel\n"_s;
        QTest::newRow("import, a production file")
            << QStringList{u"import"_s, u"@with-plc.zel"_s, u"-o"_s, u"@x.zel"_s} << kExitDataRefused
            << u"@with-plc.zel : ce n'est pas un fichier CSV : il contient des octets binaires (un fichier de "
               "production .zel, peut-être) ; @x.zel n'est pas écrit.\n"_s;
        QTest::newRow("import, output cannot be made")
            << QStringList{u"import"_s, u"@empty-set.csv"_s, u"-o"_s, u"@no/such/dir/x.zel"_s} << 4
            << u"Erreur lors de la création de @no/such/dir/x.zel. Essayer à nouveau\n"_s;
        QTest::newRow("ports, an argument")
            << QStringList{u"ports"_s, u"COM7"_s} << 64 << u"Usage : torsa-cli ports\n"_s;
        QTest::newRow("export, file without a mode")
            << QStringList{u"export"_s, u"@no-mode.zel"_s, u"-o"_s, u"@x.csv"_s} << kExitDataRefused
            << u"@no-mode.zel : la cellule de mode 8188 vaut 0, ni 65 (« Avec automate ») ni 83 (« Sans automate ») ; "
               "rien n'est exporté.\n"_s;
    }

    void errors()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, err);
        const QString base = dir_.path() + u'/';
        arguments.replaceInStrings(u"@"_s, base);
        const CliRun run = runCli(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(run.err, err.replace(u"@"_s, base).replace(u"HELP"_s, QString::fromUtf8(runCli({u"--help"_s}).out)));
        QCOMPARE(run.out.isEmpty(), exitCode != 0);
        QVERIFY(!QFile::exists(path(u"x.zel"_s)) && !QFile::exists(path(u"x.csv"_s)));
    }
};

QTEST_GUILESS_MAIN(TestCliFiles)
#include "test_cli_files.moc"
