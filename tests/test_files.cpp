// The files layer: production files (byte layout, whole replacement, refused
// files) and message lists (their layout, round trips, the import's refusals,
// what spreadsheets save, files that are not lists).

#include "files/MessageList.h"
#include "files/MessageListCsv.h"
#include "files/MessageListImport.h"
#include "files/ProductionFile.h"
#include "store/AddressMap.h"
#include "support/FileBytes.h"
#include "support/MessageSets.h"

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

const QByteArray kBom("\xEF\xBB\xBF");

QByteArray listFile(const QString &modeName, const QString &rows)
{
    return kBom + (u"Mode;"_s + modeName + u"\r\nNuméro;Texte;Unité;Priorité;Clignotement\r\n"_s + rows).toUtf8();
}

ImportResult importBytes(const QByteArray &bytes)
{
    const messagelist::ListFile file = messagelist::readCsv(bytes);
    if (!file.isList())
        qFatal("not a list: %s", qPrintable(file.failure));
    return messagelist::importRows(file.mode, file.rows);
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
        QVERIFY(writeFile(path(u"tout.zel"_s), QByteArray(20000, 'x')));
        QVERIFY(QFile::setPermissions(path(u"tout.zel"_s), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        const auto permissions = QFile::permissions(path(u"tout.zel"_s));
        std::filesystem::create_hard_link(path(u"tout.zel"_s).toStdU16String(), path(u"ancien.zel"_s).toStdU16String());
        QVERIFY(productionfile::write(path(u"tout.zel"_s), everyByteValue()));
        QCOMPARE(readFile(path(u"tout.zel"_s)), bytesOf(everyByteValue()));
        QCOMPARE(readFile(path(u"ancien.zel"_s)), QByteArray(20000, 'x'));
        QCOMPARE(QFile::permissions(path(u"tout.zel"_s)), permissions);
        const auto opened = productionfile::read(path(u"tout.zel"_s));
        QVERIFY(opened && *opened == everyByteValue());
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

    void exactLayout()
    {
        MemoryImage image = newSession(SessionMode::WithoutPlc);
        QVERIFY(type(image, SessionMode::WithoutPlc, edited(12, 3, 7, u"Défaut pompe"_s, {8, 9, 10, 11, 12})));
        QVERIFY(type(image, SessionMode::WithoutPlc, edited(2, 31, 0, u" \"A\";B "_s)));
        QVERIFY(type(image, SessionMode::WithoutPlc, edited(5, 0, 0, u"Fin "_s)));
        refreshTick(image, SessionMode::WithoutPlc);
        QCOMPARE(messagelist::toCsv(messagelist::fromImage(image)),
                 listFile(u"Sans automate"_s,
                          u"2;\" \"\"A\"\";B \";31;0;\"       \"\r\n"
                          "5;\"Fin \";0;0;\"    \"\r\n"
                          "12;Défaut pompe;3;7;\"       ^^^^^\"\r\n"_s));
    }

    // Every refused row is reported with its row, in row order, and a refused message
    // claims no priority ("Valider" stores nothing for it).
    void refusals_data()
    {
        QTest::addColumn<QString>("modeName");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QStringList>("refusals"); // "row text"
        const auto valider = [](int row, Refusal refusal, int other = 0, char32_t code = 0) {
            return u"%1 "_s.arg(row) + validation::refusalText({refusal, other, code});
        };
        // Positions 41 and 42 have no box of their own: they blink as position 40 does.
        const QString forty = u"0123456789"_s.repeated(4);
        const QString rule = u"n'a pas de case à cocher, elle clignote comme la position 40 "
                             "(« ^ » aux deux ou à aucune)"_s;

        QTest::newRow("Valider's rules, with PLC")
            << u"Avec automate"_s
            << u"12;A;0;7;\r\n5;B;0;7;\r\n181;A;0;0;\r\n"_s
                + u"10;%1X;0;0;%2^\r\n11;%1XY;0;0;%3^^ \r\n"_s.arg(forty, QString(40, u' '), QString(39, u' '))
            << QStringList{valider(4, Refusal::PriorityInUse, 12),
                           u"5 numéro 181 hors de la plage du mode Avec automate (0 à 180)"_s,
                           u"6 clignotement : la position 41 "_s + rule, u"7 clignotement : la position 42 "_s + rule};
        QTest::newRow("ranges, without PLC")
            << u"Sans automate"_s << u"17;A;0;0;\r\n3;A;32;17;\r\n"_s
            << QStringList{u"3 numéro 17 hors de la plage du mode Sans automate (0 à 16)"_s,
                           u"4 unité 32 hors de la plage 0 à 31"_s,
                           u"4 priorité 17 hors de la plage du mode Sans automate (0 à 16)"_s};
        QTest::newRow("rows a spreadsheet gets wrong")
            << u"Avec automate"_s
            << u"x;A;0;0;\r\n4;A;0;0;\r\n4;B;0;0;\r\n;;;;\r\n1;A;0\r\n3;;0;0;\r\n5;AB;0;0;\"^^ \"\r\n"_s
            << QStringList{
                   u"3 numéro « x » : un nombre entier est attendu"_s,
                   u"5 le message n°4 est déjà donné ligne 4"_s,
                   u"6 ligne vide au milieu de la liste : supprimez-la ou complétez-la"_s,
                   u"7 3 colonne(s) au lieu de 5 (Numéro;Texte;Unité;Priorité;Clignotement)"_s,
                   u"8 texte vide : « Valider » n'enregistrerait rien ; supprimez la ligne ou donnez un texte"_s,
                   u"9 clignotement : le masque a 3 positions, le texte seulement 2 caractère(s)"_s};
        QTest::newRow("blank rows at the end")
            << u"Avec automate"_s << u"1;A;0;0;\r\n;;;;\r\n\r\n;;\r\n"_s << QStringList{};
    }

    void refusals()
    {
        QFETCH(QString, modeName);
        QFETCH(QString, rows);
        QFETCH(QStringList, refusals);
        QStringList got;
        for (const RowRefusal &r : importBytes(listFile(modeName, rows)).refusals)
            got << u"%1 %2"_s.arg(r.row).arg(r.text);
        QCOMPARE(got, refusals);
    }

    // What spreadsheets do to a list they save again: the mode row padded with empty
    // cells, every text quoted or a quote left bare, no byte-order mark, LF or CR alone,
    // an empty blink cell dropped at the end of a row, blanks around numbers, a header
    // in other capitals.
    void spreadsheetVariantsAreRead()
    {
        MemoryImage image = newSession(SessionMode::WithPlc);
        QVERIFY(type(image, SessionMode::WithPlc, edited(0, 3, 1, u"Défaut pompe"_s, {1, 2})));
        QVERIFY(type(image, SessionMode::WithPlc, edited(7, 4, 0, u"Tube 2\" bas"_s)));
        refreshTick(image, SessionMode::WithPlc);
        for (const QChar lineEnd : {u'\n', u'\r'}) {
            const ImportResult result = importBytes(u"\"Mode\";\"Avec automate\";;;\n"
                                                    "\"NUMÉRO\";\"texte\";\"Unité\";\"Priorité\";\"Clignotement\"\n"
                                                    " 0 ;\"Défaut pompe\";3;1;\"^^\"\n"
                                                    "7;Tube 2\" bas;4;0\n"_s.replace(u'\n', lineEnd)
                                                        .toUtf8());
            QVERIFY(result.accepted());
            QCOMPARE(bytesOf(result.image), bytesOf(image));
        }
    }
};

QTEST_GUILESS_MAIN(TestFiles)
#include "test_files.moc"
