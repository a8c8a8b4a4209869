// Message lists without a process: CSV records, encodings, the list layout, the
// blink mask, the import's refusals and the cells a list cannot carry.

#include "files/CsvEncoding.h"
#include "files/CsvRecords.h"
#include "files/MessageList.h"
#include "files/MessageListCsv.h"
#include "files/MessageListImport.h"
#include "files/MessageListLoss.h"
#include "support/MessageSets.h"

#include <QTest>

using namespace torsa;
using namespace torsa::testing;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(torsa::SessionMode)
Q_DECLARE_METATYPE(torsa::MemoryImage)
Q_DECLARE_METATYPE(std::vector<torsa::RowRefusal>)

// Readable failures for the refusal and loss lists.
namespace torsa {

char *toString(const std::vector<RowRefusal> &refusals)
{
    QString text;
    for (const RowRefusal &r : refusals)
        text += u"\n  ligne %1 : %2"_s.arg(r.row).arg(r.text);
    return qstrdup(text.toUtf8().constData());
}

char *toString(const std::vector<LostCells> &cells)
{
    QString text;
    for (const LostCells &c : cells)
        text += u"\n  "_s + messagelist::describe(c);
    return qstrdup(text.toUtf8().constData());
}

} // namespace torsa

namespace {

const QByteArray kBom("\xEF\xBB\xBF");
const QString kHeaderRow = QStringLiteral("Numéro;Texte;Unité;Priorité;Clignotement\r\n");

QList<QStringList> fieldsOf(const std::vector<csv::Record> &records)
{
    QList<QStringList> out;
    for (const csv::Record &r : records)
        out.append(r.fields);
    return out;
}

QByteArray listFile(const QString &modeName, const QString &rows)
{
    return kBom + (u"Mode;"_s + modeName + u"\r\n"_s + kHeaderRow + rows).toUtf8();
}

// The whole import of a list file's bytes.
ImportResult importBytes(const QByteArray &bytes)
{
    const messagelist::ListFile file = messagelist::readCsv(bytes);
    if (!file.isList())
        qFatal("not a list: %s", qPrintable(file.failure));
    return messagelist::importRows(file.mode, file.rows);
}

QByteArray bytesOf(const MemoryImage &image)
{
    QByteArray out;
    for (const int c : image.cells())
        out.append(static_cast<char>(c));
    return out;
}

} // namespace

class TestCsvList : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void records_data();
    void records();
    void quoting_data();
    void quoting();
    void quotedFieldsReadBack();
    void decoding_data();
    void decoding();
    void exactLayout();
    void emptySetKeepsItsMode();
    void mask_data();
    void mask();
    void roundTrip_data();
    void roundTrip();
    void refusals_data();
    void refusals();
    void refusedRowClaimsNoPriority();
    void blankRowsAtTheEndAreIgnored();
    void spreadsheetVariantsAreRead();
    void notAList_data();
    void notAList();
    void lostCells();
};

void TestCsvList::records_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<QStringList>>("fields");
    QTest::addColumn<QStringList>("problems");

    const QStringList fine{QString(), QString()};
    QTest::newRow("CR LF") << u"a;b\r\nc;d\r\n"_s << QList<QStringList>{{u"a"_s, u"b"_s}, {u"c"_s, u"d"_s}}
                           << fine;
    QTest::newRow("LF, no final end") << u"a;b\nc"_s << QList<QStringList>{{u"a"_s, u"b"_s}, {u"c"_s}} << fine;
    QTest::newRow("CR alone") << u"a\rb\r"_s << QList<QStringList>{{u"a"_s}, {u"b"_s}} << fine;
    QTest::newRow("empty line, empty fields")
        << u"\r\n;;\r\n"_s << QList<QStringList>{{QString()}, {QString(), QString(), QString()}} << QStringList{QString(), QString()};
    QTest::newRow("quoted separator, quotes, line end")
        << u"\"a;b\";\"say \"\"hi\"\"\";\"x\r\ny\"\r\n"_s
        << QList<QStringList>{{u"a;b"_s, u"say \"hi\""_s, u"x\r\ny"_s}} << QStringList{QString()};
    QTest::newRow("blanks kept, quoted or not")
        << u"  a ;\"  b  \"\r\n"_s << QList<QStringList>{{u"  a "_s, u"  b  "_s}} << QStringList{QString()};
    QTest::newRow("quote inside an unquoted field")
        << u"Pompe 2\" bis;x\r\n"_s << QList<QStringList>{{u"Pompe 2\" bis"_s, u"x"_s}} << QStringList{QString()};
    QTest::newRow("characters after a closing quote")
        << u"\"ab\"cd;e\r\nf\r\n"_s << QList<QStringList>{{u"abcd"_s, u"e"_s}, {u"f"_s}}
        << QStringList{u"caractères après un guillemet fermant"_s, QString()};
    QTest::newRow("quote never closed")
        << u"a\r\n\"open;b\r\nc\r\n"_s << QList<QStringList>{{u"a"_s}, {u"open;b\r\nc\r\n"_s}}
        << QStringList{QString(), u"guillemet ouvert jamais fermé"_s};
}

void TestCsvList::records()
{
    QFETCH(QString, text);
    QFETCH(QList<QStringList>, fields);
    QFETCH(QStringList, problems);
    const std::vector<csv::Record> records = csv::parse(text);
    QCOMPARE(fieldsOf(records), fields);
    for (std::size_t i = 0; i < records.size(); ++i) {
        QCOMPARE(records[i].row, static_cast<int>(i) + 1);
        QCOMPARE(records[i].problem, problems.value(static_cast<qsizetype>(i)));
    }
}

void TestCsvList::quoting_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("written");
    QTest::newRow("plain") << u"Défaut 12"_s << u"Défaut 12"_s;
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("separator") << u"a;b"_s << u"\"a;b\""_s;
    QTest::newRow("quote doubled") << u"2\" pouces"_s << u"\"2\"\" pouces\""_s;
    QTest::newRow("leading blank") << u" a"_s << u"\" a\""_s;
    QTest::newRow("trailing blank") << u"a "_s << u"\"a \""_s;
    QTest::newRow("blanks only") << u"   "_s << u"\"   \""_s;
    QTest::newRow("line end") << u"a\r\nb"_s << u"\"a\r\nb\""_s;
    QTest::newRow("caret mask") << u"^^ "_s << u"\"^^ \""_s;
}

void TestCsvList::quoting()
{
    QFETCH(QString, value);
    QFETCH(QString, written);
    QCOMPARE(csv::field(value), written);
}

void TestCsvList::quotedFieldsReadBack()
{
    const QStringList awkward{u"\"\""_s, u";"_s, u" ; \" "_s, QString(), u"\r"_s, u"\n"_s, u"a\"b\"c"_s,
                              u"^  ^"_s, u"Arrêt d'urgence"_s};
    QString text;
    for (int i = 0; i < 3; ++i)
        text.append(csv::record(awkward));
    const std::vector<csv::Record> records = csv::parse(text);
    QCOMPARE(fieldsOf(records), QList<QStringList>(3, awkward));
}

void TestCsvList::decoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QString>("failure");

    const auto utf8 = static_cast<int>(csv::SourceEncoding::Utf8);
    QTest::newRow("UTF-8 with mark") << kBom + u"é€;"_s.toUtf8() << u"é€;"_s
                                     << static_cast<int>(csv::SourceEncoding::Utf8WithBom) << QString();
    QTest::newRow("UTF-8 without mark") << u"Arrêt"_s.toUtf8() << u"Arrêt"_s << utf8 << QString();
    QTest::newRow("Windows-1252") << QByteArray("D\xE9" "faut \x80 \x9C \xA7 \x82")
                                  << u"Défaut € œ § ‚"_s << static_cast<int>(csv::SourceEncoding::Windows1252)
                                  << QString();
    QTest::newRow("empty") << QByteArray() << QString() << utf8 << u"le fichier est vide"_s;
    QTest::newRow("binary") << QByteArray("Mode;A\0\x01", 8) << QString() << utf8
                            << u"ce n'est pas un fichier CSV : il contient des octets binaires "
                               "(un fichier de production .zel, peut-être)"_s;
    QTest::newRow("UTF-16") << QByteArray("\xFF\xFEM\0o\0", 6) << QString() << utf8
                            << u"le fichier est en UTF-16 (« Texte Unicode ») ; enregistrez-le au format « CSV UTF-8 » "
                               "(séparateur : point-virgule)"_s;
    QTest::newRow("mark, then not UTF-8") << kBom + QByteArray("D\xE9" "faut") << QString() << utf8
                                          << u"le fichier commence par la marque UTF-8 mais son contenu n'est pas en "
                                             "UTF-8 valide"_s;
    QTest::newRow("far too big") << QByteArray(csv::kMaxListBytes + 1, 'a') << QString() << utf8
                                 << u"le fichier est bien trop grand pour une liste de messages (1048577 octets)"_s;
}

void TestCsvList::decoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(int, encoding);
    QFETCH(QString, failure);
    const csv::DecodedText decoded = csv::decode(bytes);
    QCOMPARE(decoded.failure, failure);
    QCOMPARE(decoded.text, text);
    if (failure.isEmpty())
        QCOMPARE(static_cast<int>(decoded.encoding), encoding);
}

void TestCsvList::exactLayout()
{
    MemoryImage image = newSession(SessionMode::WithoutPlc);
    QVERIFY(type(image, SessionMode::WithoutPlc, edited(12, 3, 7, u"Défaut pompe"_s, {8, 9, 10, 11, 12})));
    QVERIFY(type(image, SessionMode::WithoutPlc, edited(2, 31, 0, u" \"A\";B "_s)));
    refreshTick(image, SessionMode::WithoutPlc);

    const QByteArray expected = kBom
        + u"Mode;Sans automate\r\n"
          "Numéro;Texte;Unité;Priorité;Clignotement\r\n"
          "2;\" \"\"A\"\";B \";31;0;\"       \"\r\n"
          "12;Défaut pompe;3;7;\"       ^^^^^\"\r\n"_s.toUtf8();
    QCOMPARE(messagelist::toCsv(messagelist::fromImage(image)), expected);
}

void TestCsvList::emptySetKeepsItsMode()
{
    for (const SessionMode mode : {SessionMode::WithPlc, SessionMode::WithoutPlc}) {
        MemoryImage image = newSession(mode);
        refreshTick(image, mode);
        const QByteArray bytes = messagelist::toCsv(messagelist::fromImage(image));
        QCOMPARE(bytes, listFile(messagelist::modeName(mode), QString()));
        QCOMPARE(bytesOf(importBytes(bytes).image), bytesOf(image));
    }
}

void TestCsvList::mask_data()
{
    QTest::addColumn<QString>("mask");
    QTest::addColumn<int>("textLength");
    QTest::addColumn<QList<int>>("ticked");
    QTest::addColumn<QString>("problem");

    const QString forty(40, u' ');
    QTest::newRow("empty: nothing blinks") << QString() << 10 << QList<int>{} << QString();
    QTest::newRow("shorter than the text") << u"^^"_s << 10 << QList<int>{1, 2} << QString();
    QTest::newRow("two zones") << u" ^^ ^"_s << 5 << QList<int>{2, 3, 5} << QString();
    QTest::newRow("41 follows 40") << QString(39, u' ') + u"^^"_s << 41 << QList<int>{40} << QString();
    QTest::newRow("41 and 42 steady") << QString(42, u' ') << 42 << QList<int>{} << QString();
    QTest::newRow("41 blinking alone")
        << forty + u"^"_s << 41 << QList<int>{}
        << u"clignotement : la position 41 n'a pas de case à cocher, elle clignote comme la position 40 "
           "(« ^ » aux deux ou à aucune)"_s;
    QTest::newRow("42 steady under a blinking 40")
        << QString(39, u' ') + u"^^ "_s << 42 << QList<int>{}
        << u"clignotement : la position 42 n'a pas de case à cocher, elle clignote comme la position 40 "
           "(« ^ » aux deux ou à aucune)"_s;
    QTest::newRow("longer than the text")
        << u"    "_s << 3 << QList<int>{}
        << u"clignotement : le masque a 4 positions, le texte seulement 3 caractère(s)"_s;
    QTest::newRow("other mark")
        << u"^ *"_s << 3 << QList<int>{}
        << u"clignotement : « * » en position 3 ; seuls l'espace (fixe) et « ^ » (clignotant) sont permis"_s;
}

void TestCsvList::mask()
{
    QFETCH(QString, mask);
    QFETCH(int, textLength);
    QFETCH(QList<int>, ticked);
    QFETCH(QString, problem);
    const MaskReading reading = messagelist::boxesFromMask(mask, textLength);
    QCOMPARE(reading.problem, problem);
    if (!problem.isEmpty())
        return;
    QList<int> got;
    for (int k = 1; k <= kBlinkBoxCount; ++k) {
        if (reading.boxes.at(static_cast<std::size_t>(k - 1)))
            got.append(k);
    }
    QCOMPARE(got, ticked);
}

void TestCsvList::roundTrip_data()
{
    QTest::addColumn<SessionMode>("mode");
    QTest::addColumn<MemoryImage>("image");
    for (const SessionMode mode : {SessionMode::WithPlc, SessionMode::WithoutPlc}) {
        const QString name = messagelist::modeName(mode);
        QTest::addRow("%s, limits", qPrintable(name)) << mode << limitSet(mode);
        for (const quint32 seed : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u})
            QTest::addRow("%s, seed %u", qPrintable(name), seed) << mode << generatedSet(mode, seed, 400);
    }
}

void TestCsvList::roundTrip()
{
    QFETCH(SessionMode, mode);
    QFETCH(MemoryImage, image);
    const MessageList list = messagelist::fromImage(image);
    QCOMPARE(list.mode, mode);
    QVERIFY(!list.messages.empty());
    const ImportResult result = importBytes(messagelist::toCsv(list));
    QVERIFY(result.accepted());
    QCOMPARE(result.storedCount, image.presentCount());
    QCOMPARE(bytesOf(result.image), bytesOf(image));
    QCOMPARE(messagelist::lostCells(image, result.image), std::vector<LostCells>{});
}

void TestCsvList::refusals_data()
{
    QTest::addColumn<QString>("modeName");
    QTest::addColumn<QString>("rows");
    QTest::addColumn<std::vector<RowRefusal>>("refusals");

    const auto valider = [](Refusal refusal, int other = 0, char32_t code = 0) {
        return validation::refusalText({refusal, other, code});
    };
    const QString columns = u"(Numéro;Texte;Unité;Priorité;Clignotement)"_s;

    QTest::newRow("too many zones, Valider's text")
        << u"Avec automate"_s << u"1;0123456789012345678901234567890123456789AB;0;0;^\r\n"_s
        << std::vector<RowRefusal>{{3, valider(Refusal::TooManyBlinkZones)}};
    QTest::newRow("43 characters")
        << u"Avec automate"_s << u"1;0123456789012345678901234567890123456789ABC;0;0;\r\n"_s
        << std::vector<RowRefusal>{{3, valider(Refusal::TooManyBlinkZones)}};
    QTest::newRow("priority clash names the earlier message")
        << u"Avec automate"_s << u"12;A;0;7;\r\n5;B;0;7;\r\n"_s
        << std::vector<RowRefusal>{{4, valider(Refusal::PriorityInUse, 12)}};
    QTest::newRow("character below 32")
        << u"Avec automate"_s << u"1;\"a\tb\";0;0;\r\n"_s
        << std::vector<RowRefusal>{{3, valider(Refusal::CharacterBelowSpace)}};
    QTest::newRow("line end inside a text")
        << u"Avec automate"_s << u"1;\"a\r\nb\";0;0;\r\n"_s
        << std::vector<RowRefusal>{{3, valider(Refusal::CharacterBelowSpace)}};
    QTest::newRow("É, degree sign")
        << u"Sans automate"_s << u"1;Été;0;0;\r\n2;20°;0;0;\r\n"_s
        << std::vector<RowRefusal>{{3, valider(Refusal::CharacterAboveRange, 0, 0xC9)},
                                   {4, valider(Refusal::CharacterAboveRange, 0, 0xB0)}};
    QTest::newRow("number range of each mode")
        << u"Sans automate"_s << u"17;A;0;0;\r\n-1;B;0;0;\r\n"_s
        << std::vector<RowRefusal>{{3, u"numéro 17 hors de la plage du mode Sans automate (0 à 16)"_s},
                                   {4, u"numéro -1 hors de la plage du mode Sans automate (0 à 16)"_s}};
    QTest::newRow("181 with PLC")
        << u"Avec automate"_s << u"181;A;0;0;\r\n"_s
        << std::vector<RowRefusal>{{3, u"numéro 181 hors de la plage du mode Avec automate (0 à 180)"_s}};
    QTest::newRow("unit and priority ranges")
        << u"Sans automate"_s << u"1;A;32;17;\r\n"_s
        << std::vector<RowRefusal>{{3, u"unité 32 hors de la plage 0 à 31"_s},
                                   {3, u"priorité 17 hors de la plage du mode Sans automate (0 à 16)"_s}};
    QTest::newRow("not whole numbers, missing")
        << u"Avec automate"_s << u"x;A;1,5;;\r\n"_s
        << std::vector<RowRefusal>{{3, u"numéro « x » : un nombre entier est attendu"_s},
                                   {3, u"unité « 1,5 » : un nombre entier est attendu"_s},
                                   {3, u"priorité manquante"_s}};
    QTest::newRow("number given twice")
        << u"Avec automate"_s << u"4;A;0;0;\r\n4;B;0;0;\r\n"_s
        << std::vector<RowRefusal>{{4, u"le message n°4 est déjà donné ligne 3"_s}};
    QTest::newRow("blank row inside")
        << u"Avec automate"_s << u"1;A;0;0;\r\n\r\n;;;;\r\n2;B;0;0;\r\n"_s
        << std::vector<RowRefusal>{{4, u"ligne vide au milieu de la liste : supprimez-la ou complétez-la"_s},
                                   {5, u"ligne vide au milieu de la liste : supprimez-la ou complétez-la"_s}};
    QTest::newRow("missing and extra columns")
        << u"Avec automate"_s << u"1;A;0\r\n2;B;0;0;;note\r\n"_s
        << std::vector<RowRefusal>{{3, u"3 colonne(s) au lieu de 5 "_s + columns},
                                   {4, u"colonne en trop : 6 colonnes remplies au lieu de 5 "_s + columns}};
    QTest::newRow("empty text")
        << u"Avec automate"_s << u"1;;0;0;\r\n"_s
        << std::vector<RowRefusal>{{3, u"texte vide : « Valider » n'enregistrerait rien ; supprimez la ligne ou "
                                       "donnez un texte"_s}};
    QTest::newRow("mask longer than its text")
        << u"Avec automate"_s << u"1;AB;0;0;\"^^ \"\r\n"_s
        << std::vector<RowRefusal>{{3, u"clignotement : le masque a 3 positions, le texte seulement 2 caractère(s)"_s}};
    QTest::newRow("quote never closed")
        << u"Avec automate"_s << u"1;A;0;0;\r\n2;\"B;0;0;\r\n"_s
        << std::vector<RowRefusal>{{4, u"ligne illisible : guillemet ouvert jamais fermé"_s}};
    QTest::newRow("every row refused is reported")
        << u"Sans automate"_s << u"0;A;0;1;\r\n1;B;0;1;\r\n2;C;40;0;\r\n3;D;0;0;x\r\n20;E;0;0;\r\n"_s
        << std::vector<RowRefusal>{{4, valider(Refusal::PriorityInUse, 0)},
                                   {5, u"unité 40 hors de la plage 0 à 31"_s},
                                   {6, u"clignotement : « x » en position 1 ; seuls l'espace (fixe) et « ^ » (clignotant) "
                                       "sont permis"_s},
                                   {7, u"numéro 20 hors de la plage du mode Sans automate (0 à 16)"_s}};
}

void TestCsvList::refusals()
{
    QFETCH(QString, modeName);
    QFETCH(QString, rows);
    QFETCH(std::vector<RowRefusal>, refusals);
    const ImportResult result = importBytes(listFile(modeName, rows));
    QCOMPARE(result.refusals, refusals);
}

// "Valider" stores nothing for a refused message, so its priority stays free.
void TestCsvList::refusedRowClaimsNoPriority()
{
    const ImportResult result = importBytes(listFile(u"Avec automate"_s, u"1;É;0;9;\r\n2;B;0;9;\r\n"_s));
    QCOMPARE(result.refusals.size(), std::size_t{1});
    QCOMPARE(result.refusals.front().row, 3);
    QCOMPARE(result.storedCount, 1);
    QCOMPARE(result.image.priority(2), 9);
}

void TestCsvList::blankRowsAtTheEndAreIgnored()
{
    const ImportResult result = importBytes(listFile(u"Avec automate"_s, u"1;A;0;0;\r\n;;;;\r\n\r\n;;\r\n"_s));
    QVERIFY(result.accepted());
    QCOMPARE(result.storedCount, 1);
}

// What spreadsheets do to a list they save again: the mode row padded with empty
// cells, every text quoted, no byte-order mark, an empty blink cell dropped at the
// end of a row, numbers with blanks around them, a header in other capitals.
void TestCsvList::spreadsheetVariantsAreRead()
{
    MemoryImage image = newSession(SessionMode::WithPlc);
    QVERIFY(type(image, SessionMode::WithPlc, edited(0, 3, 1, u"Défaut pompe"_s, {1, 2})));
    QVERIFY(type(image, SessionMode::WithPlc, edited(7, 4, 0, u"Niveau bas"_s)));
    refreshTick(image, SessionMode::WithPlc);

    const QByteArray resaved = u"\"Mode\";\"Avec automate\";;;\n"
                               "\"NUMÉRO\";\"texte\";\"Unité\";\"Priorité\";\"Clignotement\"\n"
                               " 0 ;\"Défaut pompe\";3;1;\"^^\"\n"
                               "7;\"Niveau bas\";4;0\n"_s.toUtf8();
    const ImportResult result = importBytes(resaved);
    QCOMPARE(result.refusals, std::vector<RowRefusal>{});
    QCOMPARE(bytesOf(result.image), bytesOf(image));
}

void TestCsvList::notAList_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("failure");
    const QString notList = u"ce n'est pas une liste de messages : la ligne 1 doit être « Mode;Avec automate » ou "
                            "« Mode;Sans automate »"_s;
    const QString header = u"la ligne 2 doit être l'en-tête « Numéro;Texte;Unité;Priorité;Clignotement »"_s;
    QTest::newRow("some other CSV") << QByteArray("Nom;Prénom\r\nDupont;Jean\r\n") << notList;
    QTest::newRow("commas") << QByteArray("Mode,Avec automate\r\n")
                            << notList + u" (les champs doivent être séparés par « ; », comme les écrit un tableur en "
                                         "français)"_s;
    QTest::newRow("unknown mode") << QByteArray("Mode;Automate\r\n") << notList;
    QTest::newRow("mode row with more") << QByteArray("Mode;Avec automate;oui\r\n") << notList;
    QTest::newRow("plain text") << QByteArray("Bonjour,\nvoici la liste.\n") << notList;
    QTest::newRow("no header") << QByteArray("Mode;Avec automate\r\n") << header;
    QTest::newRow("other header") << QByteArray("Mode;Avec automate\r\nNuméro;Texte;Unité;Priorité\r\n") << header;
    QTest::newRow("only line ends") << QByteArray("\r\n\r\n") << notList;
}

void TestCsvList::notAList()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, failure);
    const messagelist::ListFile file = messagelist::readCsv(bytes);
    QCOMPARE(file.failure, failure);
    QVERIFY(file.rows.empty());
}

// A file that holds more than its messages: each part that will not come back is named.
void TestCsvList::lostCells()
{
    MemoryImage image = newSession(SessionMode::WithPlc);
    QVERIFY(type(image, SessionMode::WithPlc, edited(3, 1, 0, u"Un texte assez long"_s)));
    QVERIFY(type(image, SessionMode::WithPlc, edited(3, 1, 0, u"Court"_s))); // typed again, shorter
    QVERIFY(type(image, SessionMode::WithPlc, edited(4, 1, 0, u"Gardé"_s)));
    refreshTick(image, SessionMode::WithPlc);
    image.set(address::unitCell(9), 5);                       // not present, yet not 0
    image.set(address::textStart(4) + 1, 200);                // È: "Valider" refuses it
    image.set(address::kSummaryTextStart, 'W');               // a summary block of another program
    image.set(address::kLinkTestCell, 170);                   // left by a link test
    image.set(address::slotStart(address::kSlotCount) + 2, 1); // cell 7966

    const MessageList list = messagelist::fromImage(image);
    const ImportResult back = importBytes(messagelist::toCsv(list));
    QCOMPARE(back.refusals.size(), std::size_t{1});
    QCOMPARE(back.refusals.front().row, 4);

    const int short3 = address::textStart(3) + 6; // "Court" and its end marker take 6 cells
    const std::vector<LostCells> expected{
        {short3, address::textStart(3) + 19, u"message n°3, après la fin de son texte (reste d'un texte plus long)"_s},
        {address::unitCell(4), address::unitCell(4), u"message n°4, refusé à l'import"_s},
        {address::textStart(4), address::textStart(4) + 5, u"message n°4, refusé à l'import"_s},
        {address::unitCell(9), address::unitCell(9), u"emplacement n°9, message absent"_s},
        {7966, 7966, u"cellules hors messages"_s},
        {address::kSummaryCountStart + 2, address::kSummaryTextStart, u"bloc de résumé, réécrit par le rafraîchissement"_s},
        {address::kEmptyCountCell, address::kEmptyCountCell, u"nombre de messages vides, recompté"_s},
        {address::kLinkTestCell, address::kLinkTestCell, u"cellule du test de liaison"_s},
    };
    QCOMPARE(messagelist::lostCells(image, back.image), expected);
    QCOMPARE(messagelist::describe(expected.front()),
             u"cellules 140 à 153 : message n°3, après la fin de son texte (reste d'un texte plus long)"_s);
    QCOMPARE(messagelist::describe(expected.back()), u"cellule 8191 : cellule du test de liaison"_s);
}

QTEST_GUILESS_MAIN(TestCsvList)
#include "test_csv_list.moc"
