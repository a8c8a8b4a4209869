// The periodic refresh without a window: listing lines, captions, summary block;
// and the reports of an image taken in whole.

#include "session/Refresh.h"
#include "session/Reports.h"

#include <QTest>

using namespace torsa;

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

} // namespace

class TestListing : public QObject {
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

    // The reports of an image taken in whole: from a file the count is always
    // plural and the empty count becomes the tally; from the unit, singular up
    // to 1 and the success line right behind the count.
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
        QCOMPARE(reports::readingReport(image(65, 0)),
                 head + QStringLiteral("Avec automate.\n\r0 message vide.  ") + done);
        QCOMPARE(reports::readingReport(image(83, 1)),
                 head + QStringLiteral("Sans automate.\n\r1 message vide.  ") + done);
        QCOMPARE(reports::readingReport(image(83, 2)),
                 head + QStringLiteral("Sans automate.\n\r2 messages vides.") + done);
        QCOMPARE(reports::readingReport(image(0, 176)), head + QStringLiteral("176 messages vides.") + done);
        const OpenReport opened = reports::forOpenedImage(image(83, 1));
        QCOMPARE(opened.requestedMode, SessionMode::WithoutPlc);
        QCOMPARE(opened.tally, 1);
        QCOMPARE(reports::openedMessage(opened),
                 head + QStringLiteral("Sans automate.\n\r1 messages vides.\n\r") + done);
    }
};

QTEST_GUILESS_MAIN(TestListing)
#include "test_listing.moc"
