// The session logic without the window: the periodic refresh (listing lines,
// captions, summary block), the reports of an image taken in whole, "Insérer"
// and "Effacer" on the image with their questions, and "Centrer".

#include "session/Centering.h"
#include "session/Refresh.h"
#include "session/Reports.h"
#include "session/SlotShift.h"

#include <QTest>

#include <functional>

using namespace torsa;
using centering::Outcome;

namespace {

// A message as the editor stores it: unit cell, priority, ASCII text, end marker.
void putMessage(MemoryImage &image, int n, int unitCell, int priority, const QByteArray &text)
{
    image.set(address::unitCell(n), unitCell);
    image.set(address::priorityCell(n), priority);
    int a = address::textStart(n);
    for (const char c : text)
        image.set(a++, static_cast<unsigned char>(c));
    if (text.size() < address::kTextCells)
        image.set(a, address::kEndMarker);
}

bool inSummary(int a)
{
    return a >= address::kSummaryCountStart && a < address::kSummaryTextStart + address::kSummaryTextLength;
}

QByteArray summaryBytes(const MemoryImage &image)
{
    QByteArray out;
    for (int a = address::kSummaryCountStart; inSummary(a); ++a)
        out.append(static_cast<char>(image[a]));
    return out;
}

// Every cell tells where it came from; every slot present.
MemoryImage patterned()
{
    MemoryImage image;
    for (int a = 0; a < address::kImageSize; ++a)
        image.set(a, (a * 7 + a / address::kSlotSize) % 256);
    for (int n = 0; n < address::kSlotCount; ++n)
        image.set(address::unitCell(n), 128 + n % 32);
    return image;
}

// The first cell of `after` that is not as in `before` with slot s taken from
// slot source(s), or cleared when that is -1; -1 when none is, so that a failure
// names the cell.
int firstWrongCell(const MemoryImage &after, const MemoryImage &before, const std::function<int(int)> &source)
{
    for (int a = 0; a < address::kImageSize; ++a) {
        const int from = source(a / address::kSlotSize);
        if (after[a] != (from < 0 ? 0 : before[address::slotStart(from) + a % address::kSlotSize]))
            return a;
    }
    return -1;
}

// Texts are written with '.' for a space, as a technician counts them.
QString dots(const char *text)
{
    return QString::fromUtf8(text).replace(u'.', u' ');
}

} // namespace

Q_DECLARE_METATYPE(Outcome)

class TestSession : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void listedVersusCounted()
    {
        MemoryImage image;
        putMessage(image, 12, 128 + 3, 7, "Bonjour");
        putMessage(image, 1, 128, 1, QByteArray(42, 'z')); // shown whole
        putMessage(image, 7, 5, 180, "Pas stocke");        // listed, not counted
        putMessage(image, 9, 0, 0, "Jamais stocke");       // neither
        // Cell 7964 is no message of the set, but listed: its text cells run into
        // the summary block the tick has just written.
        image.set(address::slotStart(address::kSlotCount), 200);
        const RefreshTick tick = refresh::tick(image, SessionMode::WithPlc);
        QCOMPARE(tick.tally, 2);
        QCOMPARE(tick.countCaption, QStringLiteral("179 messages vides."));
        QCOMPARE(tick.listing,
                 QStringLiteral("Numéro | Unité | Priorité |                 MESSAGE\r\n") + QString(68, u'-')
                     + QStringLiteral("\r\n n°001 | U: 00 |  P: 001  | ") + QString(42, u'z')
                     + QStringLiteral("\r\n n°007 | U: 05 |  P: 180  | Pas stocke") + QString(30, u' ')
                     + QStringLiteral("\r\n n°012 | U: 03 |  P: 007  | Bonjour") + QString(33, u' ')
                     + QStringLiteral("\r\n n°181 | U: 08 |  P: 000  | 002VALIDE KOR") + QString(27, u' ')
                     + QStringLiteral("\r\n"));
    }

    // Messages 0 to present - 1 stored, then a tick with a mode cell and a mode in
    // force. The empty count uses the total of the mode in force, before the
    // initialisation the mode cell asks for; a cell other than 65 or 83 keeps the
    // mode in force. The tick writes only the summary block and the empty count.
    void tick_data()
    {
        QTest::addColumn<int>("present");
        QTest::addColumn<int>("modeCell");
        QTest::addColumn<SessionMode>("inForce");
        QTest::addColumn<SessionMode>("after");
        QTest::addColumn<QString>("captions");
        const auto row = [](const char *tag, int present, int modeCell, SessionMode inForce, SessionMode after,
                            const char *captions) {
            QTest::newRow(tag) << present << modeCell << inForce << after << QString::fromUtf8(captions);
        };
        const SessionMode none = SessionMode::None;
        const SessionMode sans = SessionMode::WithoutPlc;
        const SessionMode avec = SessionMode::WithPlc;
        row("16 without PLC", 16, 83, sans, sans, "Centrale de défauts :Sans automate.  \n1 message vide.  ");
        row("15 without PLC", 15, 83, sans, sans, "Centrale de défauts :Sans automate.  \n2 messages vides.");
        row("20 without PLC: negative", 20, 83, sans, sans,
            "Centrale de défauts :Sans automate.  \n-3 message vide.  ");
        row("none with PLC", 0, 65, avec, avec, "Centrale de défauts :Avec automate.  \n181 messages vides.");
        row("all 181 with PLC", 181, 65, avec, avec, "Centrale de défauts :Avec automate.  \n0 message vide.  ");
        row("65, no session yet", 1, 65, none, avec, "Centrale de défauts :Avec automate.  \n180 messages vides.");
        row("83, with PLC in force", 1, 83, avec, sans, "Centrale de défauts :Sans automate.  \n180 messages vides.");
        row("65, without PLC in force", 1, 65, sans, avec, "Centrale de défauts :Avec automate.  \n16 messages vides.");
        row("0, no session", 1, 0, none, none, "Centrale de défauts :\n Aucun message");
        row("255, with PLC stays", 1, 255, avec, avec, "Centrale de défauts :\n180 messages vides.");
    }

    void tick()
    {
        QFETCH(int, present);
        QFETCH(int, modeCell);
        QFETCH(SessionMode, inForce);
        QFETCH(SessionMode, after);
        QFETCH(QString, captions);
        MemoryImage image;
        for (int n = 0; n < present; ++n)
            putMessage(image, n, 128 + n % 32, 0, "M");
        image.set(address::kModeCell, modeCell);
        const MemoryImage before = image;
        const RefreshTick tick = refresh::tick(image, inForce);
        QCOMPARE(tick.requestedMode,
                 modeCell == 65       ? SessionMode::WithPlc
                     : modeCell == 83 ? SessionMode::WithoutPlc
                                      : SessionMode::None);
        QCOMPARE(tick.modeAfter, after);
        QCOMPARE(tick.statusCaption + u'\n' + tick.countCaption, captions);
        QCOMPARE(summaryBytes(image), QByteArray::number(present).rightJustified(3, '0') + "VALIDE KOR");
        if (after != SessionMode::None)
            QCOMPARE(image[address::kEmptyCountCell], tick.countCaption.section(u' ', 0, 0).toInt());
        for (int a = 0; a < address::kImageSize; ++a) {
            if (!inSummary(a) && a != address::kEmptyCountCell && image[a] != before[a])
                QFAIL(qPrintable(QStringLiteral("cell %1 holds %2").arg(a).arg(image[a])));
        }
    }

    // The reports of an image taken in whole: from the unit, singular up to 1 and
    // the success line right behind the count; from a file the count is always
    // plural and the empty count becomes the tally.
    void reports()
    {
        const auto image = [](int mode, int emptyCount) {
            MemoryImage image;
            image.set(address::kModeCell, mode);
            image.set(address::kEmptyCountCell, emptyCount);
            return image;
        };
        const QString head = QStringLiteral("Centrale de défauts :\n\r");
        const QString done = QStringLiteral("Lecture terminée avec succés !");
        QCOMPARE(reports::readingReport(image(83, 1)),
                 head + QStringLiteral("Sans automate.\n\r1 message vide.  ") + done);
        QCOMPARE(reports::readingReport(image(0, 176)), head + QStringLiteral("176 messages vides.") + done);
        const OpenReport opened = reports::forOpenedImage(image(83, 1));
        QVERIFY(opened.requestedMode == SessionMode::WithoutPlc && opened.tally == 1);
        QCOMPARE(reports::openedMessage(opened),
                 head + QStringLiteral("Sans automate.\n\r1 messages vides.\n\r") + done);
    }

    void shiftSlots_data()
    {
        QTest::addColumn<SessionMode>("mode");
        QTest::addColumn<int>("n");
        for (const int n : {0, 16})
            QTest::addRow("without PLC, %d", n) << SessionMode::WithoutPlc << n;
        for (const int n : {77, 180})
            QTest::addRow("with PLC, %d", n) << SessionMode::WithPlc << n;
    }

    // Slots after the number move one up (the last one's content lost) or one down
    // (the last one cleared); the others stay.
    void shiftSlots()
    {
        QFETCH(SessionMode, mode);
        QFETCH(int, n);
        const int last = mode::lastMessage(mode);
        const MemoryImage before = patterned();
        MemoryImage inserted = before;
        MemoryImage erased = before;
        QVERIFY(slotshift::insertEmpty(inserted, n, mode) && slotshift::erase(erased, n, mode));
        QCOMPARE(firstWrongCell(inserted, before, [&](int s) { return s < n || s > last ? s : (s == n ? -1 : s - 1); }),
                 -1);
        QCOMPARE(
            firstWrongCell(erased, before, [&](int s) { return s < n || s > last ? s : (s == last ? -1 : s + 1); }),
            -1);
    }

    void questions()
    {
        const QString insert = QStringLiteral(" Insérer un nouveau message ?  \n\r");
        MemoryImage image;
        QCOMPARE(slotshift::insertQuestion(image, SessionMode::WithoutPlc), insert);
        image.set(address::unitCell(16), 5); // a test for 0, not for presence
        QCOMPARE(slotshift::insertQuestion(image, SessionMode::WithoutPlc),
                 insert + QStringLiteral("( Le message n° 16 sera écrasé)"));
        QCOMPARE(slotshift::insertQuestion(image, SessionMode::WithPlc), insert);
        image.set(address::unitCell(180), 128);
        QCOMPARE(slotshift::insertQuestion(image, SessionMode::WithPlc),
                 insert + QStringLiteral("( Le message n° 180 sera écrasé)"));
        QCOMPARE(slotshift::eraseQuestion(0), QStringLiteral(" Effacer le message n°0 ? \n\r"));
        QCOMPARE(slotshift::eraseQuestion(180), QStringLiteral(" Effacer le message n°180 ? \n\r"));
    }

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
        row("1x16 trimmed first", 16, 1, "..PORTE.OUVERTE..", ".PORTE.OUVERTE");
        row("1x16 16 characters", 16, 1, "NIVEAU.HAUT.CUVE", "NIVEAU.HAUT.CUVE", Outcome::LeftAsIs);
        row("2x16 16 characters", 16, 2, "..NIVEAU.HAUT.CUVE", "NIVEAU.HAUT.CUVE");
        row("2x16 split at rightmost space", 16, 2, "ALARME.POMPE.NUMERO.2", "..ALARME.POMPE......NUMERO.2");
        row("2x16 split on position 17", 16, 2, "SURCHARGE.MOTEUR.VENTILATION", "SURCHARGE.MOTEUR..VENTILATION");
        row("2x20 split on position 20", 20, 2, "ALARME.POMPE.NUMERO.2", "ALARME.POMPE.NUMERO..........2");
        row("2x20 odd surplus", 20, 2, "TEMPERATURE.HAUTE.FOUR.3", ".TEMPERATURE.HAUTE.........FOUR.3");
        row("2x16 line 2 too long", 16, 2, "PRESSION.BASSE.CIRCUIT.PRINCIPAL", "PRESSION.BASSE.CIRCUIT.PRINCIPAL",
            Outcome::Impossible);
        // Edges.
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
        QVERIFY(result.outcome == outcome && result.failed() == (outcome == Outcome::Impossible));
    }
};

QTEST_GUILESS_MAIN(TestSession)
#include "test_session.moc"
