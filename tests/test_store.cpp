// The message store: character codes, text decoding, blink coding and the rules
// of "Valider", checked against the cells they must produce.

#include "support/ShownText.h"

#include "store/BlinkCoding.h"
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

void putText(MemoryImage &image, int message, const std::vector<int> &cells)
{
    int a = address::textStart(message);
    for (const int c : cells)
        image.set(a++, c);
}

std::vector<int> textCells(const MemoryImage &image, int message, int count)
{
    const auto *first = image.cells().data() + address::textStart(message);
    return {first, first + count};
}

std::vector<int> cellsOf(int repeated, int count, std::initializer_list<int> tail)
{
    std::vector<int> cells(static_cast<std::size_t>(count), repeated);
    cells.insert(cells.end(), tail);
    return cells;
}

} // namespace

class StoreTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void decoding_data()
    {
        QTest::addColumn<std::vector<int>>("cells");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("blinking");
        QTest::newRow("zone of two") << std::vector<int>{5, 65, 66, 5, 67, 3} << QStringLiteral("ABC") << QList<int>{1, 2};
        QTest::newRow("toggle never closed") << std::vector<int>{65, 5, 66, 3} << QStringLiteral("AB") << QList<int>{2};
        // A stray control value is no character of the text but takes a flag position.
        QTest::newRow("stray code shifts flags") << std::vector<int>{65, 1, 5, 66, 5, 3} << QStringLiteral("AB")
                                                 << QList<int>{3};
        QTest::newRow("stops at end marker") << std::vector<int>{65, 3, 66, 67} << QStringLiteral("A") << QList<int>{};
        // The next slot's unit cell ('Y') is never read as text.
        QTest::newRow("42 cells, no end marker") << std::vector<int>(42, 'X') << QString(42, u'X') << QList<int>{};
        QTest::newRow("codes without a Windows-1252 character") << std::vector<int>{141, 143, 144, 157, 3}
            << QString::fromUtf16(u"\u008D\u008F\u0090\u009D") << QList<int>{};
    }

    void decoding()
    {
        QFETCH(std::vector<int>, cells);
        QFETCH(QString, text);
        QFETCH(QList<int>, blinking);
        MemoryImage image;
        putText(image, 4, cells);
        image.set(address::unitCell(5), 'Y');
        QCOMPARE(text::decode(image, 4), text);
        const BlinkFlags flags = blink::decodeFlags(image, 4);
        for (int k = 1; k <= kMaxTextLength; ++k)
            QCOMPARE(flags[static_cast<std::size_t>(k)], blinking.contains(k));
    }

    // Changes of state along the 40 boxes, from unticked: a zone reaching 40 has no closing toggle.
    void toggleCount()
    {
        BlinkBoxes all{};
        all.fill(true);
        QCOMPARE(blink::toggleCount({}), 0);
        QCOMPARE(blink::toggleCount(boxes({1})), 2);
        QCOMPARE(blink::toggleCount(boxes({40})), 1);
        QCOMPARE(blink::toggleCount(all), 1);
        QCOMPARE(blink::toggleCount(boxes({1, 3, 5})), 6);
    }

    void encoding_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<BlinkBoxes>("checked");
        QTest::addColumn<std::vector<int>>("cells");
        // The unit's letters and the Windows-1252 signs whose codes it takes for them
        // (shown again as those letters); the euro sign keeps 128.
        QTest::newRow("unit letters") << QStringLiteral("§üéâäàçêëèïîôöòûùA") << BlinkBoxes{}
            << std::vector<int>{127, 129, 130, 131, 132, 133, 135, 136, 137, 138, 139, 140, 147, 148, 149, 150, 151, 65, 3};
        QTest::newRow("Windows-1252 signs") << QStringLiteral("‚…€™") << BlinkBoxes{} << std::vector<int>{130, 133, 128, 153, 3};
        QTest::newRow("first blinks") << QStringLiteral("AB") << boxes({1}) << std::vector<int>{5, 65, 5, 66, 3};
        QTest::newRow("last blinks: closing toggle")
            << QStringLiteral("AB") << boxes({2}) << std::vector<int>{65, 5, 66, 5, 3};
        QTest::newRow("boxes past the text produce nothing")
            << QStringLiteral("AB") << boxes({39, 40}) << std::vector<int>{65, 66, 3};
        // Toggle, 40th character and closing toggle fill the 42 cells: no end marker.
        QTest::newRow("40 characters, last blinks") << QString(40, u'a') << boxes({40}) << cellsOf('a', 39, {5, 'a', 5});
        // Character 41 blinks with 40, no room to close.
        QTest::newRow("41 characters, zone to 40") << QString(41, u'a') << boxes({40}) << cellsOf('a', 39, {5, 'a', 'a'});
        QTest::newRow("42 characters") << QString(42, u'z') << BlinkBoxes{} << std::vector<int>(42, 'z');
    }

    void encoding()
    {
        QFETCH(QString, text);
        QFETCH(BlinkBoxes, checked);
        QFETCH(std::vector<int>, cells);
        MemoryImage image;
        image.set(address::unitCell(9), 0x55);
        putText(image, 8, std::vector<int>(42, 0x77));
        const EditedMessage message{8, 2, 0, text, checked};
        QVERIFY(validation::check(image, message).accepted());
        validation::store(image, message);
        QCOMPARE(textCells(image, 8, static_cast<int>(cells.size())), cells);
        // Cells after the end marker and the next slot keep what they held.
        for (auto a = address::textStart(8) + static_cast<int>(cells.size()); a < address::slotStart(9); ++a)
            QCOMPARE(image[a], 0x77);
        QCOMPARE(image[address::unitCell(9)], 0x55);
        QCOMPARE(image[address::unitCell(8)], 130);
        QCOMPARE(text::decode(image, 8), testing::shownText(text));
    }

    // The worked examples of "Valider": message 3, unit 5, priority 0, "AB", then
    // again with its first character blinking, in cells 132 to 138.
    void workedSlots()
    {
        MemoryImage image;
        const auto cells = [&image](int first, int count) {
            return std::vector<int>(image.cells().data() + first, image.cells().data() + first + count);
        };
        validation::store(image, {3, 5, 0, QStringLiteral("AB"), {}});
        QCOMPARE(cells(132, 5), (std::vector<int>{133, 0, 65, 66, 3}));
        validation::store(image, {3, 5, 0, QStringLiteral("AB"), boxes({1})});
        QCOMPARE(cells(132, 7), (std::vector<int>{133, 0, 5, 65, 5, 66, 3}));
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
        QTest::newRow("42 characters and a box") << QString(42, u'x') << boxes({40}) << 0 << tooMany;
        QTest::newRow("41 characters and a box: 42 cells") << QString(41, u'x') << boxes({40}) << 0 << QString();
        QTest::newRow("two zones too many") << QString(39, u'x') << boxes({1, 3}) << 0 << tooMany;
        QTest::newRow("tab") << QStringLiteral("A\tB") << BlinkBoxes{} << 0 << below;
        QTest::newRow("E acute") << QStringLiteral("ABCDÉ") << BlinkBoxes{} << 0 << above("C9");
        QTest::newRow("no Windows-1252 code") << QStringLiteral("Ω") << BlinkBoxes{} << 0 << above("3A9");
        QTest::newRow("outside the BMP") << QStringLiteral("A😀") << BlinkBoxes{} << 0 << above("1F600");
        QTest::newRow("first bad character reported") << QStringLiteral("°\t") << BlinkBoxes{} << 0 << above("B0");
        // A priority clashes with any other slot's cell, 181 included, never with its own.
        QTest::newRow("own priority") << QStringLiteral("x") << BlinkBoxes{} << 5 << QString();
        QTest::newRow("priority in the cell past the last slot") << QStringLiteral("x") << BlinkBoxes{} << 9
            << QStringLiteral("Le message n°181 à le même degrés de priorité\n\rCorriger le degrés de priorité.");
        // Order: the length limit before the priority, the priority before the characters.
        QTest::newRow("43 characters, before priority") << QString(43, u'x') << BlinkBoxes{} << 7 << tooMany;
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
        image.set(address::priorityCell(3), 5);
        image.set(address::priorityCell(12), 7);
        image.set(address::priorityCell(181), 9);
        const Verdict verdict = validation::check(image, {3, 4, priority, text, checked});
        QCOMPARE(validation::refusalText(verdict), message);
        QCOMPARE(verdict.accepted(), message.isEmpty());
    }
};

QTEST_GUILESS_MAIN(StoreTest)
#include "test_store.moc"
