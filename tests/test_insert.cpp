// "Insérer" and "Effacer" on the image: which slots move, which are cleared, and
// the questions asked first.

#include "editor/SlotShift.h"

#include <QTest>

using namespace torsa;

namespace {

// Every cell tells where it came from, toggles and end markers included; every slot present.
MemoryImage patterned()
{
    MemoryImage image;
    for (int a = 0; a < address::kImageSize; ++a)
        image.set(a, (a * 7 + a / address::kSlotSize) % 256);
    for (int n = 0; n < address::kSlotCount; ++n) {
        image.set(address::unitCell(n), 128 + n % 32);
        image.set(address::textStart(n) + 3, address::kBlinkToggle);
        image.set(address::textStart(n) + 9, address::kEndMarker);
    }
    return image;
}

// Slot `to` of image gets slot `from` of source, or all 0 when from is -1.
void copySlot(MemoryImage &image, int to, const MemoryImage &source, int from)
{
    for (int i = 0; i < address::kSlotSize; ++i)
        image.set(address::slotStart(to) + i, from < 0 ? 0 : source[address::slotStart(from) + i]);
}

// -1 when equal, so that a failure names the first cell that differs.
int firstDifference(const MemoryImage &a, const MemoryImage &b)
{
    for (int k = 0; k < address::kImageSize; ++k) {
        if (a[k] != b[k])
            return k;
    }
    return -1;
}

} // namespace

class TestInsert : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void shiftSlots_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("number");
        const int sans = static_cast<int>(SessionMode::WithoutPlc);
        const int avec = static_cast<int>(SessionMode::WithPlc);
        QTest::newRow("without PLC, first") << sans << 0;
        QTest::newRow("without PLC, middle") << sans << 5;
        QTest::newRow("without PLC, last") << sans << 16;
        QTest::newRow("with PLC, first") << avec << 0;
        QTest::newRow("with PLC, middle") << avec << 77;
        QTest::newRow("with PLC, last") << avec << 180;
    }

    void shiftSlots()
    {
        QFETCH(int, mode);
        QFETCH(int, number);
        const auto sessionMode = static_cast<SessionMode>(mode);
        const int last = mode::lastMessage(sessionMode);
        const MemoryImage before = patterned();

        MemoryImage inserted = before;
        QVERIFY(slotshift::insertEmpty(inserted, number, sessionMode));
        MemoryImage expected = before;
        for (int slot = number + 1; slot <= last; ++slot)
            copySlot(expected, slot, before, slot - 1);
        copySlot(expected, number, before, -1);
        QCOMPARE(firstDifference(inserted, expected), -1);

        MemoryImage erased = before;
        QVERIFY(slotshift::erase(erased, number, sessionMode));
        expected = before;
        for (int slot = number; slot < last; ++slot)
            copySlot(expected, slot, before, slot + 1);
        copySlot(expected, last, before, -1);
        QCOMPARE(firstDifference(erased, expected), -1);
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

    void numberPastTheLastChangesNothing()
    {
        const MemoryImage before = patterned();
        MemoryImage image = before;
        QVERIFY(!slotshift::insertEmpty(image, 17, SessionMode::WithoutPlc));
        QVERIFY(!slotshift::erase(image, 17, SessionMode::WithoutPlc));
        QVERIFY(!slotshift::erase(image, -1, SessionMode::WithPlc));
        QCOMPARE(firstDifference(image, before), -1);
    }
};

QTEST_GUILESS_MAIN(TestInsert)
#include "test_insert.moc"
