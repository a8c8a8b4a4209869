// "Centrer" without a window: the centered text for each display, the refusals,
// and the undo texts over sequences of presses ("Centrer" twice then "Annuler
// (centrer)" on each display is pinned on the main window).

#include "session/Centering.h"

#include <QTest>

using namespace torsa;
using centering::Outcome;

namespace {

// Texts are written with '.' for a space, as a technician counts them.
QString dots(const char *text)
{
    return QString::fromUtf8(text).replace(u'.', u' ');
}

} // namespace

Q_DECLARE_METATYPE(Outcome)

class TestCentering : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void center_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("lines");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<Outcome>("outcome");
        const auto row = [](const char *name, int width, int lines, const char *text, const char *expected,
                            Outcome outcome = Outcome::Centered) {
            QTest::newRow(name) << width << lines << dots(text) << dots(expected) << outcome;
        };
        // The worked examples.
        row("1x16 DEFAUT", 16, 1, "DEFAUT", ".....DEFAUT");
        row("1x20 POMPE 1", 20, 1, "POMPE.1", "......POMPE.1");
        row("1x16 trimmed first", 16, 1, "..PORTE.OUVERTE..", ".PORTE.OUVERTE");
        row("1x16 16 characters", 16, 1, "NIVEAU.HAUT.CUVE", "NIVEAU.HAUT.CUVE", Outcome::LeftAsIs);
        row("2x16 16 characters", 16, 2, "..NIVEAU.HAUT.CUVE", "NIVEAU.HAUT.CUVE");
        row("2x16 split at rightmost space", 16, 2, "ALARME.POMPE.NUMERO.2", "..ALARME.POMPE......NUMERO.2");
        row("2x16 split on position 17", 16, 2, "SURCHARGE.MOTEUR.VENTILATION", "SURCHARGE.MOTEUR..VENTILATION");
        row("2x20 split on position 20", 20, 2, "ALARME.POMPE.NUMERO.2", "ALARME.POMPE.NUMERO..........2");
        row("2x20 odd surplus", 20, 2, "TEMPERATURE.HAUTE.FOUR.3", ".TEMPERATURE.HAUTE.........FOUR.3");
        row("2x16 line 2 too long", 16, 2, "PRESSION.BASSE.CIRCUIT.PRINCIPAL", "PRESSION.BASSE.CIRCUIT.PRINCIPAL",
            Outcome::Impossible);
        row("2x16 no space", 16, 2, "ABCDEFGHIJKLMNOPQ", "ABCDEFGHIJKLMNOPQ", Outcome::Impossible);
        // Edges.
        row("1x16 empty", 16, 1, "", "........");
        row("1x16 too long is left untrimmed", 16, 1, "..NIVEAU.HAUT.CUVE.", "..NIVEAU.HAUT.CUVE.", Outcome::LeftAsIs);
        row("2x16 both lines full", 16, 2, "ABCDEFGHIJKLMNOP.QRSTUVWXYZ012345", "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345");
        row("2x16 spaces around the split", 16, 2, "ALARME...POMPE...NUMERO", ".ALARME...POMPE......NUMERO");
        row("2x16 space at position 1 only", 16, 2, "A.BCDEFGHIJKLMNOPQRSTU", "A.BCDEFGHIJKLMNOPQRSTU",
            Outcome::Impossible);
        row("2x16 failure gives the trimmed text", 16, 2, "..ABCDEFGHIJKLMNOPQ..", "ABCDEFGHIJKLMNOPQ",
            Outcome::Impossible);
        // Only the space is trimmed; a tab is a character of the text.
        row("1x16 tab kept", 16, 1, ".X\t.", ".......X\t");
        row("1x16 leading tab kept", 16, 1, "\tX", ".......\tX");
        // A character outside the Basic Multilingual Plane counts once.
        row("1x16 one wide character", 16, 1, "\U0001D11E", ".......\U0001D11E");
    }

    void center()
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

    void undoTextsOverPresses()
    {
        CenteringUndo undo;
        const QString centered = undo.center(dots("ABC"), 20, 1).text;
        QCOMPARE(undo.centeredText(), dots("........ABC"));

        // Too long for one line: the undo text is saved, the centered text stays.
        const QString tooLong = dots("NIVEAU.HAUT.CUVE");
        QCOMPARE(undo.center(tooLong, 16, 1).outcome, Outcome::LeftAsIs);
        QCOMPARE(undo.textBeforeCentering(), tooLong);
        QCOMPARE(undo.centeredText(), centered);

        // A centered text edited afterwards is the user's text again.
        const QString edited = centered + u'D';
        QCOMPARE(undo.center(edited, 20, 1).text, dots("........ABCD"));
        QCOMPARE(undo.textBeforeCentering(), edited);
        QCOMPARE(undo.centeredText(), dots("........ABCD"));
    }
};

QTEST_APPLESS_MAIN(TestCentering)
#include "test_centering.moc"
