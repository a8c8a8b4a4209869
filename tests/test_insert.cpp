// "Insérer" and "Effacer" on the image: which slots move, which are cleared, and
// the questions asked first.

#include "session/SlotShift.h"

#include <QTest>

using namespace torsa;

namespace {

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

// The first cell of `after` that is not as in `before` with each slot up to
// `last` taken from slot from(slot), or cleared when that is -1; -1 when none is,
// so that a failure names the cell.
template <typename From>
int firstWrongCell(const MemoryImage &after, const MemoryImage &before, int last, From from)
{
    for (int a = 0; a < address::kImageSize; ++a) {
        const int slot = a / address::kSlotSize;
        const int source = slot > last ? slot : from(slot);
        if (after[a] != (source < 0 ? 0 : before[address::slotStart(source) + a % address::kSlotSize]))
            return a;
    }
    return -1;
}

} // namespace

class TestInsert : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void shiftSlots_data()
    {
        QTest::addColumn<SessionMode>("mode");
        QTest::addColumn<int>("number");
        for (const int number : {0, 5, 16})
            QTest::addRow("without PLC, %d", number) << SessionMode::WithoutPlc << number;
        for (const int number : {0, 77, 180})
            QTest::addRow("with PLC, %d", number) << SessionMode::WithPlc << number;
    }

    void shiftSlots()
    {
        QFETCH(SessionMode, mode);
        QFETCH(int, number);
        const int last = mode::lastMessage(mode);
        const MemoryImage before = patterned();

        MemoryImage inserted = before;
        QVERIFY(slotshift::insertEmpty(inserted, number, mode));
        QCOMPARE(
            firstWrongCell(inserted, before, last, [&](int s) { return s < number ? s
                                                                    : s == number ? -1
                                                                                  : s - 1; }),
            -1);

        MemoryImage erased = before;
        QVERIFY(slotshift::erase(erased, number, mode));
        QCOMPARE(firstWrongCell(erased, before, last, [&](int s) { return s < number ? s
                                                                       : s == last   ? -1
                                                                                     : s + 1; }),
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

    void numberPastTheLastChangesNothing()
    {
        const MemoryImage before = patterned();
        MemoryImage image = before;
        QVERIFY(!slotshift::insertEmpty(image, 17, SessionMode::WithoutPlc));
        QVERIFY(!slotshift::erase(image, 17, SessionMode::WithoutPlc));
        QVERIFY(!slotshift::erase(image, -1, SessionMode::WithPlc));
        QCOMPARE(firstWrongCell(image, before, -1, [](int slot) { return slot; }), -1);
    }
};

QTEST_GUILESS_MAIN(TestInsert)
#include "test_insert.moc"
