// The periodic refresh without a window: listing lines, captions, summary block.

#include "editor/Listing.h"
#include "editor/Refresh.h"
#include "store/AddressMap.h"

#include <QTest>

using namespace torsa;

namespace {

// Writes a message the way the editor stores it: unit cell, priority, ASCII text, end marker.
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

QString headerLines()
{
    return QStringLiteral("Numéro | Unité | Priorité |                 MESSAGE\r\n"
                          "--------------------------------------------------------------------\r\n");
}

QByteArray summaryBytes(const MemoryImage &image)
{
    QByteArray out;
    for (int a = address::kSummaryCountStart; a <= address::kSummaryTextStart + address::kSummaryTextLength - 1; ++a)
        out.append(static_cast<char>(image[a]));
    return out;
}

} // namespace

class TestListing : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void slotLine_data();
    void slotLine();
    void headerOnlyWithoutMessages();
    void listedVersusCounted();
    void slot181IsListed();
    void countCaption_data();
    void countCaption();
    void modeCell_data();
    void modeCell();
    void summaryBlock_data();
    void summaryBlock();
    void tickTouchesOnlyDerivedCells();
};

void TestListing::slotLine_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("unitCell");
    QTest::addColumn<int>("priority");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("line");

    QTest::newRow("message 12 Bonjour")
        << 12 << 128 + 3 << 7 << QByteArray("Bonjour")
        << QStringLiteral(" n°012 | U: 03 |  P: 007  | Bonjour") + QString(33, u' ');
    QTest::newRow("unit cell 5, not present")
        << 3 << 5 << 0 << QByteArray("X")
        << QStringLiteral(" n°003 | U: 05 |  P: 000  | X") + QString(39, u' ');
    QTest::newRow("unit 31, priority 180, empty text")
        << 180 << 159 << 180 << QByteArray()
        << QStringLiteral(" n°180 | U: 31 |  P: 180  | ") + QString(40, u' ');
    QTest::newRow("40 characters fill the field")
        << 0 << 128 << 0 << QByteArray(40, 'a')
        << QStringLiteral(" n°000 | U: 00 |  P: 000  | ") + QString(40, u'a');
    QTest::newRow("42 characters shown whole")
        << 1 << 128 << 1 << QByteArray(42, 'z')
        << QStringLiteral(" n°001 | U: 00 |  P: 001  | ") + QString(42, u'z');
}

void TestListing::slotLine()
{
    QFETCH(int, number);
    QFETCH(int, unitCell);
    QFETCH(int, priority);
    QFETCH(QByteArray, text);
    QFETCH(QString, line);

    MemoryImage image;
    putMessage(image, number, unitCell, priority, text);
    QCOMPARE(listing::slotLine(image, number), line);
    QCOMPARE(listing::build(image), headerLines() + line + QStringLiteral("\r\n"));
    // Column bars under the header's bars.
    const QString header = headerLines().section(u'\r', 0, 0);
    for (const int bar : {7, 15, 26}) {
        QCOMPARE(line.at(bar), u'|');
        QCOMPARE(header.at(bar), u'|');
    }
}

void TestListing::headerOnlyWithoutMessages()
{
    MemoryImage image;
    const RefreshTick tick = refresh::tick(image, SessionMode::None);
    QCOMPARE(tick.listing, headerLines());
    QCOMPARE(tick.statusCaption, QStringLiteral("Centrale de défauts :"));
    QCOMPARE(tick.countCaption, QStringLiteral(" Aucun message"));
    QCOMPARE(image[address::kEmptyCountCell], 181);
}

void TestListing::listedVersusCounted()
{
    MemoryImage image;
    putMessage(image, 0, 128, 1, "Zero");
    putMessage(image, 5, 128 + 2, 0, "Cinq");
    putMessage(image, 7, 5, 0, "Pas stocke");         // listed, not counted
    putMessage(image, 9, 0, 0, "Jamais stocke");      // neither
    image.set(address::kModeCell, address::kModeLetterWithPlc);

    const RefreshTick tick = refresh::tick(image, SessionMode::WithPlc);
    QCOMPARE(tick.tally, 2);
    QCOMPARE(image[address::kEmptyCountCell], 179);
    QCOMPARE(tick.countCaption, QStringLiteral("179 messages vides."));
    const QStringList lines = tick.listing.split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 2 + 3 + 1);    // the last CR LF leaves an empty tail
    QVERIFY(lines.at(2).startsWith(QStringLiteral(" n°000 | U: 00 |  P: 001  | Zero")));
    QVERIFY(lines.at(3).startsWith(QStringLiteral(" n°005 | U: 02 |")));
    QVERIFY(lines.at(4).startsWith(QStringLiteral(" n°007 | U: 05 |  P: 000  | Pas stocke")));
    QVERIFY(lines.last().isEmpty());
}

void TestListing::slot181IsListed()
{
    MemoryImage image;
    image.set(address::slotStart(address::kSlotCount), 200);  // cell 7964
    const RefreshTick tick = refresh::tick(image, SessionMode::WithPlc);
    // Listed, but not a message of the set: the count stays 0. Its text cells run
    // into the summary block, which the tick has just written.
    QCOMPARE(tick.tally, 0);
    QCOMPARE(tick.listing,
             headerLines() + QStringLiteral(" n°181 | U: 08 |  P: 000  | 000VALIDE KOR")
                 + QString(27, u' ') + QStringLiteral("\r\n"));
}

void TestListing::countCaption_data()
{
    QTest::addColumn<int>("present");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("empty");
    QTest::addColumn<QString>("caption");

    const int sans = static_cast<int>(SessionMode::WithoutPlc);
    const int avec = static_cast<int>(SessionMode::WithPlc);
    QTest::newRow("all 17 without PLC") << 17 << sans << 0 << QStringLiteral("0 message vide.  ");
    QTest::newRow("16 without PLC") << 16 << sans << 1 << QStringLiteral("1 message vide.  ");
    QTest::newRow("15 without PLC") << 15 << sans << 2 << QStringLiteral("2 messages vides.");
    QTest::newRow("none with PLC") << 0 << avec << 181 << QStringLiteral("181 messages vides.");
    QTest::newRow("20 without PLC: negative") << 20 << sans << -3 << QStringLiteral("-3 message vide.  ");
    QTest::newRow("all 181 with PLC") << 181 << avec << 0 << QStringLiteral("0 message vide.  ");
}

void TestListing::countCaption()
{
    QFETCH(int, present);
    QFETCH(int, mode);
    QFETCH(int, empty);
    QFETCH(QString, caption);

    const auto sessionMode = static_cast<SessionMode>(mode);
    MemoryImage image;
    image.set(address::kModeCell, mode::letter(sessionMode));
    for (int n = 0; n < present; ++n)
        putMessage(image, n, 128, 0, "M");
    const RefreshTick tick = refresh::tick(image, sessionMode);
    QCOMPARE(image[address::kEmptyCountCell], empty);
    QCOMPARE(tick.countCaption, caption);
    QCOMPARE(tick.tally, present);
}

void TestListing::modeCell_data()
{
    QTest::addColumn<int>("modeCell");
    QTest::addColumn<int>("inForce");
    QTest::addColumn<int>("requested");
    QTest::addColumn<int>("after");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("count");

    const int none = static_cast<int>(SessionMode::None);
    const int sans = static_cast<int>(SessionMode::WithoutPlc);
    const int avec = static_cast<int>(SessionMode::WithPlc);
    // One message present; the empty count uses the total of the mode in force
    // before the initialisation, the caption appears once a mode is in force.
    QTest::newRow("65, no session yet") << 65 << none << avec << avec
        << QStringLiteral("Centrale de défauts :Avec automate.  ") << QStringLiteral("180 messages vides.");
    QTest::newRow("83, no session yet") << 83 << none << sans << sans
        << QStringLiteral("Centrale de défauts :Sans automate.  ") << QStringLiteral("180 messages vides.");
    QTest::newRow("83, with PLC in force") << 83 << avec << sans << sans
        << QStringLiteral("Centrale de défauts :Sans automate.  ") << QStringLiteral("180 messages vides.");
    QTest::newRow("65, without PLC in force") << 65 << sans << avec << avec
        << QStringLiteral("Centrale de défauts :Avec automate.  ") << QStringLiteral("16 messages vides.");
    QTest::newRow("0, no session") << 0 << none << none << none
        << QStringLiteral("Centrale de défauts :") << QStringLiteral(" Aucun message");
    QTest::newRow("0, without PLC stays") << 0 << sans << none << sans
        << QStringLiteral("Centrale de défauts :") << QStringLiteral("16 messages vides.");
    QTest::newRow("255, with PLC stays") << 255 << avec << none << avec
        << QStringLiteral("Centrale de défauts :") << QStringLiteral("180 messages vides.");
}

void TestListing::modeCell()
{
    QFETCH(int, modeCell);
    QFETCH(int, inForce);
    QFETCH(int, requested);
    QFETCH(int, after);
    QFETCH(QString, status);
    QFETCH(QString, count);

    MemoryImage image;
    putMessage(image, 4, 128, 0, "M");
    image.set(address::kModeCell, modeCell);
    const RefreshTick tick = refresh::tick(image, static_cast<SessionMode>(inForce));
    QCOMPARE(static_cast<int>(tick.requestedMode), requested);
    QCOMPARE(static_cast<int>(tick.modeAfter), after);
    QCOMPARE(tick.statusCaption, status);
    QCOMPARE(tick.countCaption, count);
    QCOMPARE(image[address::kModeCell], modeCell);
}

void TestListing::summaryBlock_data()
{
    QTest::addColumn<int>("present");
    QTest::addColumn<QByteArray>("summary");

    QTest::newRow("none") << 0 << QByteArray("000VALIDE KOR");
    QTest::newRow("7") << 7 << QByteArray("007VALIDE KOR");
    QTest::newRow("45") << 45 << QByteArray("045VALIDE KOR");
    QTest::newRow("all 181") << 181 << QByteArray("181VALIDE KOR");
}

void TestListing::summaryBlock()
{
    QFETCH(int, present);
    QFETCH(QByteArray, summary);

    MemoryImage image;
    for (int n = 0; n < present; ++n)
        putMessage(image, n, 128 + n % 32, 0, "M");
    refresh::tick(image, SessionMode::WithPlc);
    QCOMPARE(summaryBytes(image), summary);
}

void TestListing::tickTouchesOnlyDerivedCells()
{
    // A new session with PLC and no message: after a tick every cell is 0 except the
    // summary block, the mode cell and the empty count.
    MemoryImage image;
    image.set(address::kModeCell, address::kModeLetterWithPlc);
    refresh::tick(image, SessionMode::WithPlc);
    for (int a = 0; a < address::kImageSize; ++a) {
        if (a >= address::kSummaryCountStart && a < address::kSummaryTextStart + address::kSummaryTextLength)
            continue;
        if (a == address::kModeCell) {
            QCOMPARE(image[a], 65);
        } else if (a == address::kEmptyCountCell) {
            QCOMPARE(image[a], 181);
        } else if (image[a] != 0) {
            QFAIL(qPrintable(QStringLiteral("cell %1 holds %2").arg(a).arg(image[a])));
        }
    }
    QCOMPARE(summaryBytes(image), QByteArray("000VALIDE KOR"));
}

QTEST_GUILESS_MAIN(TestListing)
#include "test_listing.moc"
