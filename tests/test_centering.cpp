// "Centrer" without a window: the centered text for each display, the refusals,
// and the undo texts over sequences of presses.

#include "editor/Centering.h"

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
        const auto row = [](const char *name, int width, int lines, const QString &text, const QString &expected,
                            Outcome outcome = Outcome::Centered) {
            QTest::newRow(name) << width << lines << text << expected << outcome;
        };
        // The worked examples.
        row("1x16 DEFAUT", 16, 1, dots("DEFAUT"), dots(".....DEFAUT"));
        row("1x20 POMPE 1", 20, 1, dots("POMPE.1"), dots("......POMPE.1"));
        row("1x16 trimmed first", 16, 1, dots("..PORTE.OUVERTE.."), dots(".PORTE.OUVERTE"));
        row("1x16 16 characters", 16, 1, dots("NIVEAU.HAUT.CUVE"), dots("NIVEAU.HAUT.CUVE"), Outcome::LeftAsIs);
        row("2x16 16 characters", 16, 2, dots("..NIVEAU.HAUT.CUVE"), dots("NIVEAU.HAUT.CUVE"));
        row("2x16 split at rightmost space", 16, 2, dots("ALARME.POMPE.NUMERO.2"), dots("..ALARME.POMPE......NUMERO.2"));
        row("2x16 split on position 17", 16, 2, dots("SURCHARGE.MOTEUR.VENTILATION"),
            dots("SURCHARGE.MOTEUR..VENTILATION"));
        row("2x20 split on position 20", 20, 2, dots("ALARME.POMPE.NUMERO.2"), dots("ALARME.POMPE.NUMERO..........2"));
        row("2x20 odd surplus", 20, 2, dots("TEMPERATURE.HAUTE.FOUR.3"), dots(".TEMPERATURE.HAUTE.........FOUR.3"));
        row("2x16 line 2 too long", 16, 2, dots("PRESSION.BASSE.CIRCUIT.PRINCIPAL"),
            dots("PRESSION.BASSE.CIRCUIT.PRINCIPAL"), Outcome::Impossible);
        row("2x16 no space", 16, 2, dots("ABCDEFGHIJKLMNOPQ"), dots("ABCDEFGHIJKLMNOPQ"), Outcome::Impossible);
        // Edges.
        row("1x16 empty", 16, 1, QString(), dots("........"));
        row("2x20 empty", 20, 2, QString(), dots(".........."));
        row("1x16 15 characters", 16, 1, dots("ABCDEFGHIJKLMNO"), dots("ABCDEFGHIJKLMNO"));
        row("1x16 too long is left untrimmed", 16, 1, dots("..NIVEAU.HAUT.CUVE."), dots("..NIVEAU.HAUT.CUVE."),
            Outcome::LeftAsIs);
        row("2x16 both lines full", 16, 2, dots("ABCDEFGHIJKLMNOP.QRSTUVWXYZ012345"), dots("ABCDEFGHIJKLMNOPQRSTUVWXYZ012345"));
        row("2x16 no space but position 17", 16, 2, dots("ABCDEFGHIJKLMNOP.QRS"), dots("ABCDEFGHIJKLMNOP......QRS"));
        row("2x16 spaces around the split", 16, 2, dots("ALARME...POMPE...NUMERO"), dots(".ALARME...POMPE......NUMERO"));
        row("2x16 space at position 1 only", 16, 2, dots("A.BCDEFGHIJKLMNOPQRSTU"), dots("A.BCDEFGHIJKLMNOPQRSTU"),
            Outcome::Impossible);
        row("2x16 failure gives the trimmed text", 16, 2, dots("..ABCDEFGHIJKLMNOPQ.."), dots("ABCDEFGHIJKLMNOPQ"),
            Outcome::Impossible);
        // Only the space is trimmed; a tab is a character of the text.
        row("1x16 tab kept", 16, 1, QStringLiteral(" X\t "), QStringLiteral("       X\t"));
        // A character outside the Basic Multilingual Plane counts once.
        row("1x16 one wide character", 16, 1, QString::fromUcs4(U"\U0001D11E"),
            QStringLiteral("       ") + QString::fromUcs4(U"\U0001D11E"));
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

    void twiceThenUndo_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("lines");
        QTest::addColumn<QString>("text");
        QTest::newRow("1x16") << 16 << 1 << dots("..POMPE.1...");
        QTest::newRow("1x20") << 20 << 1 << dots("..POMPE.1...");
        QTest::newRow("2x16") << 16 << 2 << dots("ALARME.POMPE.NUMERO.2.");
        QTest::newRow("2x20") << 20 << 2 << dots(".TEMPERATURE.HAUTE.FOUR.3");
    }

    void twiceThenUndo()
    {
        QFETCH(int, width);
        QFETCH(int, lines);
        QFETCH(QString, text);
        CenteringUndo undo;
        const centering::Result first = undo.center(text, width, lines);
        QCOMPARE(first.outcome, Outcome::Centered);
        QCOMPARE(undo.centeredText(), first.text);
        QCOMPARE(undo.center(first.text, width, lines).text, first.text);
        QCOMPARE(undo.textBeforeCentering(), text); // "Annuler (centrer)" gives the user's text
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

        // A failure saves the undo text too.
        const QString impossible = dots("..ABCDEFGHIJKLMNOPQ..");
        QVERIFY(undo.center(impossible, 16, 2).failed());
        QCOMPARE(undo.textBeforeCentering(), impossible);
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
