// The periodic refresh without a window: listing lines, captions, summary block.

#include "editor/Refresh.h"

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

const QString kHeader = QStringLiteral("Numéro | Unité | Priorité |                 MESSAGE\r\n"
                                       "--------------------------------------------------------------------\r\n");

QByteArray summaryBytes(const MemoryImage &image)
{
    QByteArray out;
    for (int a = address::kSummaryCountStart; a < address::kSummaryTextStart + address::kSummaryTextLength; ++a)
        out.append(static_cast<char>(image[a]));
    return out;
}

constexpr int kNone = static_cast<int>(SessionMode::None);
constexpr int kSans = static_cast<int>(SessionMode::WithoutPlc);
constexpr int kAvec = static_cast<int>(SessionMode::WithPlc);

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
        const RefreshTick tick = refresh::tick(image, SessionMode::WithPlc);
        QCOMPARE(tick.tally, 2);
        QCOMPARE(tick.countCaption, QStringLiteral("179 messages vides."));
        QCOMPARE(tick.listing, kHeader + QStringLiteral(" n°001 | U: 00 |  P: 001  | ") + QString(42, u'z')
                     + QStringLiteral("\r\n n°007 | U: 05 |  P: 180  | Pas stocke") + QString(30, u' ')
                     + QStringLiteral("\r\n n°012 | U: 03 |  P: 007  | Bonjour") + QString(33, u' ')
                     + QStringLiteral("\r\n"));
    }

    void slot181IsListed()
    {
        MemoryImage image;
        image.set(address::slotStart(address::kSlotCount), 200); // cell 7964
        const RefreshTick tick = refresh::tick(image, SessionMode::WithPlc);
        // Not a message of the set; its text cells run into the summary block just written.
        QCOMPARE(tick.tally, 0);
        QCOMPARE(tick.listing, kHeader + QStringLiteral(" n°181 | U: 08 |  P: 000  | 000VALIDE KOR")
                                   + QString(27, u' ') + QStringLiteral("\r\n"));
    }

    void countAndSummary_data()
    {
        QTest::addColumn<int>("present");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QByteArray>("summary");
        QTest::newRow("all 17 without PLC") << 17 << kSans << QStringLiteral("0 message vide.  ") << QByteArray("017VALIDE KOR");
        QTest::newRow("16 without PLC") << 16 << kSans << QStringLiteral("1 message vide.  ") << QByteArray("016VALIDE KOR");
        QTest::newRow("15 without PLC") << 15 << kSans << QStringLiteral("2 messages vides.") << QByteArray("015VALIDE KOR");
        QTest::newRow("20 without PLC: negative") << 20 << kSans << QStringLiteral("-3 message vide.  ") << QByteArray("020VALIDE KOR");
        QTest::newRow("none with PLC") << 0 << kAvec << QStringLiteral("181 messages vides.") << QByteArray("000VALIDE KOR");
        QTest::newRow("all 181 with PLC") << 181 << kAvec << QStringLiteral("0 message vide.  ") << QByteArray("181VALIDE KOR");
    }

    void countAndSummary()
    {
        QFETCH(int, present);
        QFETCH(int, mode);
        QFETCH(QString, caption);
        QFETCH(QByteArray, summary);
        const auto sessionMode = static_cast<SessionMode>(mode);
        MemoryImage image;
        image.set(address::kModeCell, mode::letter(sessionMode));
        for (int n = 0; n < present; ++n)
            putMessage(image, n, 128 + n % 32, 0, "M");
        const RefreshTick tick = refresh::tick(image, sessionMode);
        QCOMPARE(tick.countCaption, caption);
        QCOMPARE(summaryBytes(image), summary);
        QCOMPARE(image[address::kEmptyCountCell], caption.section(u' ', 0, 0).toInt());
    }

    void modeCell_data()
    {
        QTest::addColumn<int>("modeCell");
        QTest::addColumn<int>("inForce");
        QTest::addColumn<int>("after");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("count");
        // One message present; the empty count uses the total of the mode in force
        // before the initialisation the mode cell asks for.
        QTest::newRow("65, no session yet") << 65 << kNone << kAvec
            << QStringLiteral("Centrale de défauts :Avec automate.  ") << QStringLiteral("180 messages vides.");
        QTest::newRow("83, with PLC in force") << 83 << kAvec << kSans
            << QStringLiteral("Centrale de défauts :Sans automate.  ") << QStringLiteral("180 messages vides.");
        QTest::newRow("65, without PLC in force") << 65 << kSans << kAvec
            << QStringLiteral("Centrale de défauts :Avec automate.  ") << QStringLiteral("16 messages vides.");
        QTest::newRow("0, no session") << 0 << kNone << kNone
            << QStringLiteral("Centrale de défauts :") << QStringLiteral(" Aucun message");
        QTest::newRow("0, without PLC stays") << 0 << kSans << kSans
            << QStringLiteral("Centrale de défauts :") << QStringLiteral("16 messages vides.");
        QTest::newRow("255, with PLC stays") << 255 << kAvec << kAvec
            << QStringLiteral("Centrale de défauts :") << QStringLiteral("180 messages vides.");
    }

    void modeCell()
    {
        QFETCH(int, modeCell);
        QFETCH(int, inForce);
        QFETCH(int, after);
        QFETCH(QString, status);
        QFETCH(QString, count);
        MemoryImage image;
        putMessage(image, 4, 128, 0, "M");
        image.set(address::kModeCell, modeCell);
        const RefreshTick tick = refresh::tick(image, static_cast<SessionMode>(inForce));
        QCOMPARE(static_cast<int>(tick.requestedMode), modeCell == 65 ? kAvec : modeCell == 83 ? kSans : kNone);
        QCOMPARE(static_cast<int>(tick.modeAfter), after);
        QCOMPARE(tick.statusCaption, status);
        QCOMPARE(tick.countCaption, count);
        QCOMPARE(image[address::kModeCell], modeCell);
    }

    void tickTouchesOnlyDerivedCells()
    {
        MemoryImage image;
        image.set(address::kModeCell, address::kModeLetterWithPlc);
        refresh::tick(image, SessionMode::WithPlc);
        for (int a = 0; a < address::kImageSize; ++a) {
            const bool summary = a >= address::kSummaryCountStart && a < address::kSummaryTextStart + address::kSummaryTextLength;
            if (!summary && a != address::kModeCell && a != address::kEmptyCountCell && image[a] != 0)
                QFAIL(qPrintable(QStringLiteral("cell %1 holds %2").arg(a).arg(image[a])));
        }
    }
};

QTEST_GUILESS_MAIN(TestListing)
#include "test_listing.moc"
