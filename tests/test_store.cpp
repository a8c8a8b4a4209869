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

void putText(MemoryImage &image, int message, const std::vector<int> &cells)
{
    int a = address::textStart(message);
    for (const int c : cells)
        image.set(a++, c);
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
        // A stray control value is no character of the text but takes a flag position.
        QTest::newRow("stray code shifts flags")
            << std::vector<int>{65, 1, 5, 66, 5, 3} << QStringLiteral("AB") << QList<int>{3};
        // The next slot's unit cell ('Y') is never read as text.
        QTest::newRow("42 cells, no end marker") << std::vector<int>(42, 'X') << QString(42, u'X') << QList<int>{};
        QTest::newRow("codes without a Windows-1252 character")
            << std::vector<int>{141, 143, 144, 157, 3} << QString::fromUtf16(u"\u008D\u008F\u0090\u009D")
            << QList<int>{};
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

    void encoding_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<BlinkBoxes>("checked");
        QTest::addColumn<std::vector<int>>("cells");
        QTest::addColumn<QString>("shown"); // empty: the text itself
        QTest::newRow("unit letters") << QStringLiteral("§üéâäàçêëèïîôöòûùA") << BlinkBoxes{}
                                      << std::vector<int>{127, 129, 130, 131, 132, 133, 135, 136, 137, 138,
                                                          139, 140, 147, 148, 149, 150, 151, 65,  3}
                                      << QString();
        // The Windows-1252 signs whose codes the unit takes for its letters show as
        // those letters; the euro sign keeps 128.
        QTest::newRow("Windows-1252 signs") << QStringLiteral("‚…€™") << BlinkBoxes{}
                                            << std::vector<int>{130, 133, 128, 153, 3} << QStringLiteral("éà€™");
        QTest::newRow("first blinks") << QStringLiteral("AB") << boxes({1}) << std::vector<int>{5, 65, 5, 66, 3}
                                      << QString();
        QTest::newRow("last blinks: closing toggle")
            << QStringLiteral("AB") << boxes({2}) << std::vector<int>{65, 5, 66, 5, 3} << QString();
        QTest::newRow("boxes past the text produce nothing")
            << QStringLiteral("AB") << boxes({39, 40}) << std::vector<int>{65, 66, 3} << QString();
        // Toggle, 40th character and closing toggle fill the 42 cells: no end marker.
        QTest::newRow("40 characters, last blinks")
            << QString(40, u'a') << boxes({40}) << cellsOf('a', 39, {5, 'a', 5}) << QString();
        // Character 41 blinks with 40, no room to close.
        QTest::newRow("41 characters, zone to 40")
            << QString(41, u'a') << boxes({40}) << cellsOf('a', 39, {5, 'a', 'a'}) << QString();
        QTest::newRow("42 characters") << QString(42, u'z') << BlinkBoxes{} << std::vector<int>(42, 'z') << QString();
    }

    // Message 8, unit 5, priority 7: its cells, nothing past its end marker nor
    // in the next slot touched, and the text shown again.
    void encoding()
    {
        QFETCH(QString, text);
        QFETCH(BlinkBoxes, checked);
        QFETCH(std::vector<int>, cells);
        QFETCH(QString, shown);
        MemoryImage image;
        image.set(address::unitCell(9), 0x55);
        putText(image, 8, std::vector<int>(42, 0x77));
        const EditedMessage message{8, 5, 7, text, checked};
        QVERIFY(validation::check(image, message).accepted());
        validation::store(image, message);
        QCOMPARE(image[address::unitCell(8)], 133);
        QCOMPARE(image[address::priorityCell(8)], 7);
        const int end = address::textStart(8) + static_cast<int>(cells.size());
        QCOMPARE(std::vector<int>(image.cells().begin() + address::textStart(8), image.cells().begin() + end), cells);
        for (int a = end; a < address::slotStart(9); ++a)
            QCOMPARE(image[a], 0x77);
        QCOMPARE(image[address::unitCell(9)], 0x55);
        QCOMPARE(text::decode(image, 8), shown.isEmpty() ? text : shown);
    }

    // After "Valider" the editor moves on, but never past the mode's last message.
    void nextMessageNumber()
    {
        QCOMPARE(validation::nextMessageNumber(16, SessionMode::WithPlc), 17);
        QCOMPARE(validation::nextMessageNumber(16, SessionMode::WithoutPlc), 16);
        QCOMPARE(validation::nextMessageNumber(180, SessionMode::WithPlc), 180);
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<BlinkBoxes>("checked");
        QTest::addColumn<int>("priority");
        QTest::addColumn<QString>("message");
        const QString tooMany =
            QStringLiteral("Nombre de zones de clignotement trop important !\n\r Réduisez le nombre de zones .");
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
        // ... and it counts as one character of the 42.
        QTest::newRow("42nd character outside the BMP")
            << QString(41, u'x') + QStringLiteral("😀") << BlinkBoxes{} << 0 << above("1F600");
        QTest::newRow("first bad character reported") << QStringLiteral("°\t") << BlinkBoxes{} << 0 << above("B0");
        // A priority clashes with any other slot's cell, 181 included, never with its own.
        QTest::newRow("own priority") << QStringLiteral("x") << BlinkBoxes{} << 5 << QString();
        QTest::newRow("priority in the cell past the last slot")
            << QStringLiteral("x") << BlinkBoxes{} << 9
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
