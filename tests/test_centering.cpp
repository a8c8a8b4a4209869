// "Centrer" without a window: the centered text for each display, the refusals,
// and the undo texts over sequences of presses.

#include "editor/Centering.h"

#include <QTest>

#include <array>

using namespace torsa;
using centering::Outcome;

namespace {

// Worked texts are written with '.' for a space, as a technician counts them.
QString dots(const char *text)
{
    return QString::fromUtf8(text).replace(u'.', u' ');
}

struct DisplaySize {
    int width;
    int lines;
};

constexpr std::array<DisplaySize, 4> kDisplays{{{16, 1}, {20, 1}, {16, 2}, {20, 2}}};

} // namespace

Q_DECLARE_METATYPE(Outcome)

class TestCentering : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void center_data();
    void center();
    void trimOnlyRemovesSpaces();
    void twiceThenUndo_data();
    void twiceThenUndo();
    void undoBeforeAnyCentering();
    void failureKeepsUndoText();
    void oneLineTooLongSavesUndo();
    void editedResultIsSavedAgain();
    void failureAfterSuccessKeepsCenteredText();
};

void TestCentering::center_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<Outcome>("outcome");

    auto row = [](const char *name, int width, int lines, const QString &text, const QString &expected,
                  Outcome outcome = Outcome::Centered) {
        QTest::newRow(name) << width << lines << text << expected << outcome;
    };

    // The worked examples.
    row("1x16 DEFAUT", 16, 1, dots("DEFAUT"), dots(".....DEFAUT"));
    row("1x20 POMPE 1", 20, 1, dots("POMPE.1"), dots("......POMPE.1"));
    row("1x16 trimmed first", 16, 1, dots("..PORTE.OUVERTE.."), dots(".PORTE.OUVERTE"));
    row("1x16 16 characters", 16, 1, dots("NIVEAU.HAUT.CUVE"), dots("NIVEAU.HAUT.CUVE"), Outcome::LeftAsIs);
    row("2x16 16 characters", 16, 2, dots("..NIVEAU.HAUT.CUVE"), dots("NIVEAU.HAUT.CUVE"));
    row("2x16 split at rightmost space", 16, 2, dots("ALARME.POMPE.NUMERO.2"),
        dots("..ALARME.POMPE......NUMERO.2"));
    row("2x16 split on position 17", 16, 2, dots("SURCHARGE.MOTEUR.VENTILATION"),
        dots("SURCHARGE.MOTEUR..VENTILATION"));
    row("2x20 split on position 20", 20, 2, dots("ALARME.POMPE.NUMERO.2"),
        dots("ALARME.POMPE.NUMERO..........2"));
    row("2x20 odd surplus", 20, 2, dots("TEMPERATURE.HAUTE.FOUR.3"),
        dots(".TEMPERATURE.HAUTE.........FOUR.3"));
    row("2x16 line 2 too long", 16, 2, dots("PRESSION.BASSE.CIRCUIT.PRINCIPAL"),
        dots("PRESSION.BASSE.CIRCUIT.PRINCIPAL"), Outcome::Impossible);
    row("2x16 no space", 16, 2, dots("ABCDEFGHIJKLMNOPQ"), dots("ABCDEFGHIJKLMNOPQ"), Outcome::Impossible);

    // Edges.
    row("1x16 empty", 16, 1, QString(), dots("........"));
    row("1x20 empty", 20, 1, QString(), dots(".........."));
    row("2x16 empty", 16, 2, QString(), dots("........"));
    row("2x20 empty", 20, 2, QString(), dots(".........."));
    row("2x16 only spaces", 16, 2, dots("......"), dots("........"));
    row("1x16 one character", 16, 1, dots("A"), dots(".......A"));
    row("1x16 15 characters", 16, 1, dots("ABCDEFGHIJKLMNO"), dots("ABCDEFGHIJKLMNO"));
    row("1x16 16 characters untrimmed", 16, 1, dots("..NIVEAU.HAUT.CUVE."), dots("..NIVEAU.HAUT.CUVE."),
        Outcome::LeftAsIs);
    row("1x20 19 characters", 20, 1, dots("ABCDEFGHIJKLMNOPQRS"), dots("ABCDEFGHIJKLMNOPQRS"));
    row("1x20 20 characters", 20, 1, dots("ABCDEFGHIJKLMNOPQRST"), dots("ABCDEFGHIJKLMNOPQRST"),
        Outcome::LeftAsIs);
    row("1x20 50 characters", 20, 1, QString(50, u'X'), QString(50, u'X'), Outcome::LeftAsIs);
    row("2x20 20 characters", 20, 2, dots("ABCDEFGHIJKLMNOPQRST"), dots("ABCDEFGHIJKLMNOPQRST"));
    row("2x16 both lines full", 16, 2, dots("ABCDEFGHIJKLMNOP.QRSTUVWXYZ012345"),
        dots("ABCDEFGHIJKLMNOPQRSTUVWXYZ012345"));
    row("2x16 no space but position 17", 16, 2, dots("ABCDEFGHIJKLMNOP.QRS"),
        dots("ABCDEFGHIJKLMNOP......QRS"));
    row("2x16 spaces around the split", 16, 2, dots("ALARME...POMPE...NUMERO"),
        dots(".ALARME...POMPE......NUMERO"));
    row("2x16 space at position 1 only", 16, 2, dots("A.BCDEFGHIJKLMNOPQRSTU"),
        dots("A.BCDEFGHIJKLMNOPQRSTU"), Outcome::Impossible);
    row("2x16 failure keeps the trimmed text", 16, 2, dots("..ABCDEFGHIJKLMNOPQ.."),
        dots("ABCDEFGHIJKLMNOPQ"), Outcome::Impossible);
    row("2x20 line 2 of 21", 20, 2, dots("ALARME.ABCDEFGHIJKLMNOPQRSTU"),
        dots("ALARME.ABCDEFGHIJKLMNOPQRSTU"), Outcome::Impossible);
    // Only the space is trimmed; a tab is a character of the text.
    row("1x16 tab kept", 16, 1, QStringLiteral(" X\t "), QStringLiteral("       X\t"));
    // A character outside the Basic Multilingual Plane counts once.
    row("1x16 one wide character", 16, 1, QString::fromUcs4(U"\U0001D11E"),
        QStringLiteral("       ") + QString::fromUcs4(U"\U0001D11E"));
}

void TestCentering::center()
{
    QFETCH(int, width);
    QFETCH(int, lines);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QFETCH(Outcome, outcome);

    const centering::Result result = centering::center(text, width, lines);
    QCOMPARE(result.text, expected);
    QCOMPARE(result.outcome, outcome);
    QCOMPARE(result.failed(), outcome == Outcome::Impossible);
}

void TestCentering::trimOnlyRemovesSpaces()
{
    QCOMPARE(centering::trimSpaces(dots("..A.B..")), dots("A.B"));
    QCOMPARE(centering::trimSpaces(QStringLiteral("\t A \n")), QStringLiteral("\t A \n"));
    QCOMPARE(centering::trimSpaces(dots("....")), QString());
}

void TestCentering::twiceThenUndo_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("text");

    for (const DisplaySize d : kDisplays) {
        const QByteArray name = QByteArray::number(d.lines) + 'x' + QByteArray::number(d.width);
        QTest::newRow((name + " short").constData()) << d.width << d.lines << dots("ABC");
        QTest::newRow((name + " untrimmed").constData()) << d.width << d.lines << dots("..POMPE.1...");
    }
    QTest::newRow("2x16 two lines") << 16 << 2 << dots("ALARME.POMPE.NUMERO.2");
    QTest::newRow("2x20 two lines") << 20 << 2 << dots("TEMPERATURE.HAUTE.FOUR.3");
}

void TestCentering::twiceThenUndo()
{
    QFETCH(int, width);
    QFETCH(int, lines);
    QFETCH(QString, text);

    CenteringUndo undo;
    const centering::Result first = undo.center(text, width, lines);
    QCOMPARE(first.outcome, Outcome::Centered);
    QCOMPARE(undo.centeredText(), first.text);

    const centering::Result second = undo.center(first.text, width, lines);
    QCOMPARE(second.text, first.text);           // centering a centered text changes nothing
    QCOMPARE(undo.textBeforeCentering(), text);  // "Annuler (centrer)" gives the user's text
}

void TestCentering::undoBeforeAnyCentering()
{
    const CenteringUndo undo;
    QCOMPARE(undo.textBeforeCentering(), QString());
    QCOMPARE(undo.centeredText(), QString());
}

void TestCentering::failureKeepsUndoText()
{
    CenteringUndo undo;
    const QString typed = dots("..ABCDEFGHIJKLMNOPQ..");
    const centering::Result result = undo.center(typed, 16, 2);
    QVERIFY(result.failed());
    QCOMPARE(result.text, dots("ABCDEFGHIJKLMNOPQ"));
    QCOMPARE(undo.textBeforeCentering(), typed);
    QCOMPARE(undo.centeredText(), QString());
}

void TestCentering::oneLineTooLongSavesUndo()
{
    CenteringUndo undo;
    undo.center(dots("ABC"), 16, 1);
    const QString typed = dots("NIVEAU.HAUT.CUVE");
    const centering::Result result = undo.center(typed, 16, 1);
    QCOMPARE(result.outcome, Outcome::LeftAsIs);
    QCOMPARE(undo.textBeforeCentering(), typed);
    QCOMPARE(undo.centeredText(), dots("......ABC"));
}

void TestCentering::editedResultIsSavedAgain()
{
    CenteringUndo undo;
    const centering::Result first = undo.center(dots("ABC"), 20, 1);
    QCOMPARE(first.text, dots("........ABC"));
    const QString edited = first.text + u'D';
    const centering::Result second = undo.center(edited, 20, 1);
    QCOMPARE(second.text, dots("........ABCD"));
    QCOMPARE(undo.textBeforeCentering(), edited);
    QCOMPARE(undo.centeredText(), second.text);
}

void TestCentering::failureAfterSuccessKeepsCenteredText()
{
    CenteringUndo undo;
    const centering::Result done = undo.center(dots("ABC"), 16, 2);
    undo.center(dots("ABCDEFGHIJKLMNOPQ"), 16, 2);
    QCOMPARE(undo.centeredText(), done.text);
    QCOMPARE(undo.textBeforeCentering(), dots("ABCDEFGHIJKLMNOPQ"));
}

QTEST_APPLESS_MAIN(TestCentering)
#include "test_centering.moc"
