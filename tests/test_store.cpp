// The message store: character codes, text decoding, blink coding and the rules
// of "Valider", checked against the cells they must produce.

#include "store/BlinkCoding.h"
#include "store/CharCodes.h"
#include "store/MemoryImage.h"
#include "store/MessageText.h"
#include "store/Validation.h"

#include <QtTest/QTest>

#include <initializer_list>
#include <vector>

using namespace torsa;

namespace {

BlinkBoxes boxes(std::initializer_list<int> positions)
{
    BlinkBoxes b{};
    for (const int p : positions)
        b[static_cast<std::size_t>(p - 1)] = true;
    return b;
}

BlinkBoxes boxRange(int first, int last)
{
    BlinkBoxes b{};
    for (int p = first; p <= last; ++p)
        b[static_cast<std::size_t>(p - 1)] = true;
    return b;
}

void putText(MemoryImage &image, int message, const std::vector<int> &cells)
{
    int a = address::textStart(message);
    for (const int c : cells)
        image.set(a++, c);
}

std::vector<int> textCells(const MemoryImage &image, int message, int count)
{
    std::vector<int> cells;
    for (int a = address::textStart(message); a < address::textStart(message) + count; ++a)
        cells.push_back(image[a]);
    return cells;
}

QString repeat(QChar c, int n) { return QString(n, c); }

} // namespace

class StoreTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void characterTableBothWays_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("u umlaut") << QStringLiteral("ü") << 129 << QStringLiteral("ü");
        QTest::newRow("e acute") << QStringLiteral("é") << 130 << QStringLiteral("é");
        QTest::newRow("a circumflex") << QStringLiteral("â") << 131 << QStringLiteral("â");
        QTest::newRow("a umlaut") << QStringLiteral("ä") << 132 << QStringLiteral("ä");
        QTest::newRow("a grave") << QStringLiteral("à") << 133 << QStringLiteral("à");
        QTest::newRow("c cedilla") << QStringLiteral("ç") << 135 << QStringLiteral("ç");
        QTest::newRow("e circumflex") << QStringLiteral("ê") << 136 << QStringLiteral("ê");
        QTest::newRow("e umlaut") << QStringLiteral("ë") << 137 << QStringLiteral("ë");
        QTest::newRow("e grave") << QStringLiteral("è") << 138 << QStringLiteral("è");
        QTest::newRow("i umlaut") << QStringLiteral("ï") << 139 << QStringLiteral("ï");
        QTest::newRow("i circumflex") << QStringLiteral("î") << 140 << QStringLiteral("î");
        QTest::newRow("o circumflex") << QStringLiteral("ô") << 147 << QStringLiteral("ô");
        QTest::newRow("o umlaut") << QStringLiteral("ö") << 148 << QStringLiteral("ö");
        QTest::newRow("o grave") << QStringLiteral("ò") << 149 << QStringLiteral("ò");
        QTest::newRow("u circumflex") << QStringLiteral("û") << 150 << QStringLiteral("û");
        QTest::newRow("u grave") << QStringLiteral("ù") << 151 << QStringLiteral("ù");
        QTest::newRow("section") << QStringLiteral("§") << 127 << QStringLiteral("§");
        QTest::newRow("plain letter") << QStringLiteral("A") << 65 << QStringLiteral("A");
        // Windows-1252 characters whose codes the unit uses for accented letters.
        QTest::newRow("low quote shows as e acute") << QStringLiteral("‚") << 130 << QStringLiteral("é");
        QTest::newRow("ellipsis shows as a grave") << QStringLiteral("…") << 133 << QStringLiteral("à");
        QTest::newRow("euro stays") << QStringLiteral("€") << 128 << QStringLiteral("€");
        QTest::newRow("trade mark stays") << QStringLiteral("™") << 153 << QStringLiteral("™");
    }

    void characterTableBothWays()
    {
        QFETCH(QString, typed);
        QFETCH(int, stored);
        QFETCH(QString, shown);
        MemoryImage image;
        EditedMessage message{7, 1, 0, typed, {}};
        QVERIFY(validation::check(image, message).accepted());
        validation::store(image, message);
        QCOMPARE(image[address::textStart(7)], stored);
        QCOMPARE(image[address::textStart(7) + 1], address::kEndMarker);
        QCOMPARE(text::decode(image, 7), shown);
    }

    void undefinedWindows1252CodesDecodeToControls()
    {
        MemoryImage image;
        putText(image, 0, {141, 143, 144, 157, 3});
        QCOMPARE(text::decode(image, 0), QString::fromUtf16(u"\u008D\u008F\u0090\u009D"));
    }

    void decoding_data()
    {
        QTest::addColumn<std::vector<int>>("cells");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("blinking");
        QTest::newRow("accent") << std::vector<int>{72, 130, 3} << QStringLiteral("Hé") << QList<int>{};
        QTest::newRow("zone") << std::vector<int>{5, 65, 5, 3} << QStringLiteral("A") << QList<int>{1};
        QTest::newRow("two toggles cancel") << std::vector<int>{5, 5, 65, 3} << QStringLiteral("A") << QList<int>{};
        QTest::newRow("zone of two") << std::vector<int>{5, 65, 66, 5, 67, 3} << QStringLiteral("ABC") << QList<int>{1, 2};
        QTest::newRow("toggle never closed") << std::vector<int>{65, 5, 66, 3} << QStringLiteral("AB") << QList<int>{2};
        QTest::newRow("all zero") << std::vector<int>{} << QString() << QList<int>{};
        // A stray control value is no character of the text but takes a flag position.
        QTest::newRow("stray code shifts flags") << std::vector<int>{65, 1, 5, 66, 5, 3} << QStringLiteral("AB")
                                                 << QList<int>{3};
        QTest::newRow("stops at end marker") << std::vector<int>{65, 3, 66, 67} << QStringLiteral("A") << QList<int>{};
    }

    void decoding()
    {
        QFETCH(std::vector<int>, cells);
        QFETCH(QString, text);
        QFETCH(QList<int>, blinking);
        MemoryImage image;
        putText(image, 4, cells);
        QCOMPARE(text::decode(image, 4), text);
        const BlinkFlags flags = blink::decodeFlags(image, 4);
        for (int k = 1; k <= kMaxTextLength; ++k)
            QCOMPARE(flags[static_cast<std::size_t>(k)], blinking.contains(k));
    }

    void fortyTwoCellsWithoutEndMarker()
    {
        MemoryImage image;
        putText(image, 180, std::vector<int>(42, 'X'));
        image.set(address::slotStart(181), 'Y'); // first cell past the slot: never read as text
        QCOMPARE(text::decode(image, 180), repeat(QLatin1Char('X'), 42));
        const BlinkFlags flags = blink::decodeFlags(image, 180);
        QVERIFY(std::none_of(flags.begin(), flags.end(), [](bool f) { return f; }));
    }

    void toggleCount_data()
    {
        QTest::addColumn<BlinkBoxes>("checked");
        QTest::addColumn<int>("count");
        QTest::newRow("none") << BlinkBoxes{} << 0;
        QTest::newRow("first") << boxes({1}) << 2;
        QTest::newRow("two zones") << boxes({2, 3, 4, 9}) << 4;
        QTest::newRow("last alone") << boxes({40}) << 1;
        QTest::newRow("last two") << boxes({39, 40}) << 1;
        QTest::newRow("all") << boxRange(1, 40) << 1;
        QTest::newRow("alternating") << boxes({1, 3, 5}) << 6;
    }

    void toggleCount()
    {
        QFETCH(BlinkBoxes, checked);
        QFETCH(int, count);
        QCOMPARE(blink::toggleCount(checked), count);
    }

    void encoding_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<BlinkBoxes>("checked");
        QTest::addColumn<std::vector<int>>("cells");
        QTest::newRow("no box") << QStringLiteral("AB") << BlinkBoxes{} << std::vector<int>{65, 66, 3};
        QTest::newRow("first blinks") << QStringLiteral("AB") << boxes({1}) << std::vector<int>{5, 65, 5, 66, 3};
        QTest::newRow("last blinks: closing toggle")
            << QStringLiteral("AB") << boxes({2}) << std::vector<int>{65, 5, 66, 5, 3};
        QTest::newRow("boxes past the text produce nothing")
            << QStringLiteral("AB") << boxes({39, 40}) << std::vector<int>{65, 66, 3};
        QTest::newRow("accents") << QStringLiteral("Défaut été")
                                 << BlinkBoxes{} << std::vector<int>{68, 130, 102, 97, 117, 116, 32, 130, 116, 130, 3};
        {
            // 39 characters, boxes 36 to 40: toggle before 36, closing toggle after 39, end marker.
            std::vector<int> cells(35, 'a');
            cells.push_back(5);
            cells.insert(cells.end(), 4, 'a');
            cells.push_back(5);
            cells.push_back(3);
            QTest::newRow("39 characters, zone to 40") << repeat(QLatin1Char('a'), 39) << boxRange(36, 40) << cells;
        }
        {
            // 40 characters, box 40: toggle, 40th, closing toggle fill the 42 cells; no end marker.
            std::vector<int> cells(39, 'a');
            cells.insert(cells.end(), {5, 'a', 5});
            QTest::newRow("40 characters, last blinks") << repeat(QLatin1Char('a'), 40) << boxes({40}) << cells;
        }
        {
            // 41 characters and a zone reaching 40: character 41 blinks too, no room to close.
            std::vector<int> cells(39, 'a');
            cells.insert(cells.end(), {5, 'a', 'a'});
            QTest::newRow("41 characters, zone to 40") << repeat(QLatin1Char('a'), 41) << boxes({40}) << cells;
        }
        QTest::newRow("42 characters") << repeat(QLatin1Char('z'), 42) << BlinkBoxes{} << std::vector<int>(42, 'z');
    }

    void encoding()
    {
        QFETCH(QString, text);
        QFETCH(BlinkBoxes, checked);
        QFETCH(std::vector<int>, cells);
        MemoryImage image;
        image.set(address::unitCell(9), 0x55); // the next slot must not change
        putText(image, 8, std::vector<int>(42, 0x77));
        const EditedMessage message{8, 2, 0, text, checked};
        QVERIFY(validation::check(image, message).accepted());
        validation::store(image, message);
        QCOMPARE(textCells(image, 8, static_cast<int>(cells.size())), cells);
        // Cells after the end marker keep what they held.
        for (auto a = address::textStart(8) + static_cast<int>(cells.size()); a < address::slotStart(9); ++a)
            QCOMPARE(image[a], 0x77);
        QCOMPARE(image[address::unitCell(9)], 0x55);
        QCOMPARE(image[address::unitCell(8)], 130);
        // What is shown again is what was typed, with the boxes under its characters.
        QCOMPARE(text::decode(image, 8), text);
        const BlinkFlags flags = blink::decodeFlags(image, 8);
        for (int p = 1; p <= std::min<int>(40, static_cast<int>(text.size())); ++p)
            QCOMPARE(flags[static_cast<std::size_t>(p)], checked[static_cast<std::size_t>(p - 1)]);
    }

    void workedSlots()
    {
        MemoryImage image;
        EditedMessage message{3, 5, 0, QStringLiteral("AB"), {}};
        validation::store(image, message);
        QCOMPARE(textCells(image, 3, 3), (std::vector<int>{65, 66, 3}));
        QCOMPARE(image[132], 133);
        QCOMPARE(image[133], 0);
        message.blink = boxes({1});
        validation::store(image, message);
        for (int a = 134; a <= 138; ++a)
            QCOMPARE(image[a], (std::array{5, 65, 5, 66, 3})[static_cast<std::size_t>(a - 134)]);
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<BlinkBoxes>("checked");
        QTest::addColumn<int>("priority");
        QTest::addColumn<QString>("message");
        const QString tooMany = QStringLiteral("Nombre de zones de clignotement trop important !\n\r Réduisez le nombre de zones .");
        const QString below = QStringLiteral("Caractère ASCII inférieur à &H20 ! \n\rVeuillez modifier le message.");
        const auto above = [](const char *code) {
            return QStringLiteral("Caractère ASCII supérieur à &H9F ! %1\n\rVeuillez modifier le message.")
                .arg(QLatin1String(code));
        };
        QTest::newRow("43 characters") << repeat(QLatin1Char('x'), 43) << BlinkBoxes{} << 0 << tooMany;
        QTest::newRow("42 characters and a box") << repeat(QLatin1Char('x'), 42) << boxes({40}) << 0 << tooMany;
        QTest::newRow("box past the text counts") << repeat(QLatin1Char('x'), 41) << boxes({40}) << 0 << QString();
        QTest::newRow("two zones too many") << repeat(QLatin1Char('x'), 39) << boxes({1, 3}) << 0 << tooMany;
        QTest::newRow("tab") << QStringLiteral("A\tB") << BlinkBoxes{} << 0 << below;
        QTest::newRow("E acute") << QStringLiteral("ABCDÉ") << BlinkBoxes{} << 0 << above("C9");
        QTest::newRow("degree") << QStringLiteral("20°C") << BlinkBoxes{} << 0 << above("B0");
        QTest::newRow("y umlaut") << QStringLiteral("ÿ") << BlinkBoxes{} << 0 << above("FF");
        QTest::newRow("no Windows-1252 code") << QStringLiteral("Ω") << BlinkBoxes{} << 0 << above("3A9");
        QTest::newRow("outside the BMP") << QStringLiteral("A😀") << BlinkBoxes{} << 0 << above("1F600");
        QTest::newRow("first bad character reported") << QStringLiteral("°\t") << BlinkBoxes{} << 0 << above("B0");
        // Order: the length limit before the priority, the priority before the characters.
        QTest::newRow("length before priority") << repeat(QLatin1Char('x'), 43) << BlinkBoxes{} << 7 << tooMany;
        QTest::newRow("priority before characters")
            << QStringLiteral("°") << BlinkBoxes{} << 7
            << QStringLiteral("Le message n°12 à le même degrés de priorité\n\rCorriger le degrés de priorité.");
    }

    void refusals()
    {
        QFETCH(QString, text);
        QFETCH(BlinkBoxes, checked);
        QFETCH(int, priority);
        QFETCH(QString, message);
        MemoryImage image;
        image.set(address::priorityCell(12), 7);
        const MemoryImage before = image;
        const EditedMessage edited{3, 4, priority, text, checked};
        const Verdict verdict = validation::check(image, edited);
        QCOMPARE(validation::refusalText(verdict), message);
        QCOMPARE(verdict.accepted(), message.isEmpty());
        QCOMPARE(image, before);
    }

    void priorityClash_data()
    {
        QTest::addColumn<int>("holder");
        QTest::addColumn<int>("number");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("another message") << 5 << 9 << false;
        QTest::newRow("the message itself") << 9 << 9 << true;
        QTest::newRow("an absent slot still counts") << 150 << 2 << false;
        QTest::newRow("the cell past the last slot") << 181 << 2 << false;
    }

    void priorityClash()
    {
        QFETCH(int, holder);
        QFETCH(int, number);
        QFETCH(bool, accepted);
        MemoryImage image;
        image.set(address::priorityCell(holder), 16);
        const Verdict verdict = validation::check(image, {number, 0, 16, QStringLiteral("x"), {}});
        QCOMPARE(verdict.accepted(), accepted);
        if (!accepted) {
            QCOMPARE(verdict.otherMessage, holder);
            QVERIFY(validation::refusalText(verdict).startsWith(QStringLiteral("Le message n°%1 à").arg(holder)));
        }
        // Priority 0 never clashes.
        QVERIFY(validation::check(image, {number, 0, 0, QStringLiteral("x"), {}}).accepted());
    }

    void recountAndNextNumber()
    {
        MemoryImage image;
        image.set(address::unitCell(0), 128);
        image.set(address::unitCell(180), 159);
        image.set(address::unitCell(7), 5);             // not present
        image.set(address::unitCell(181), 200);         // past the last slot: not counted
        QCOMPARE(recount(image, SessionMode::WithPlc), 2);
        QCOMPARE(image[address::kEmptyCountCell], 179);
        for (int m = 0; m <= 16; ++m)
            image.set(address::unitCell(m), 130);
        QCOMPARE(recount(image, SessionMode::WithoutPlc), 18);
        QCOMPARE(image[address::kEmptyCountCell], -1);   // held exactly, below 0
        QCOMPARE(validation::nextMessageNumber(179, SessionMode::WithPlc), 180);
        QCOMPARE(validation::nextMessageNumber(180, SessionMode::WithPlc), 180);
        QCOMPARE(validation::nextMessageNumber(16, SessionMode::WithoutPlc), 16);
        QCOMPARE(validation::nextMessageNumber(16, SessionMode::WithPlc), 17);
    }
};

QTEST_GUILESS_MAIN(StoreTest)
#include "test_store.moc"
