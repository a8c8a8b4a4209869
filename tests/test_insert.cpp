// "Insérer" and "Effacer" on the image: which slots move, which are cleared, and
// the questions asked first.

#include "editor/SlotShift.h"
#include "store/AddressMap.h"
#include "store/Validation.h"

#include <QTest>

using namespace torsa;

namespace {

// Every cell of slots 0 to 181 and beyond gets a value that tells where it came
// from, blink toggles and end markers included; unit cells are present.
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

void copySlot(MemoryImage &to, int toSlot, const MemoryImage &from, int fromSlot)
{
    for (int i = 0; i < address::kSlotSize; ++i)
        to.set(address::slotStart(toSlot) + i, from[address::slotStart(fromSlot) + i]);
}

void zeroSlot(MemoryImage &image, int slot)
{
    for (int i = 0; i < address::kSlotSize; ++i)
        image.set(address::slotStart(slot) + i, 0);
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

void addModes()
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

} // namespace

class TestInsert : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void insertMovesSlotsUp_data() { addModes(); }
    void insertMovesSlotsUp();
    void eraseMovesSlotsDown_data() { addModes(); }
    void eraseMovesSlotsDown();
    void insertQuestion_data();
    void insertQuestion();
    void eraseQuestion_data();
    void eraseQuestion();
    void eraseThenRecount();
    void numberPastTheLastChangesNothing();
};

void TestInsert::insertMovesSlotsUp()
{
    QFETCH(int, mode);
    QFETCH(int, number);
    const auto sessionMode = static_cast<SessionMode>(mode);
    const int last = mode::lastMessage(sessionMode);

    const MemoryImage before = patterned();
    MemoryImage expected = before;
    for (int slot = number + 1; slot <= last; ++slot)
        copySlot(expected, slot, before, slot - 1);
    zeroSlot(expected, number);

    MemoryImage image = before;
    QVERIFY(slotshift::insertEmpty(image, number, sessionMode));
    QCOMPARE(firstDifference(image, expected), -1);
}

void TestInsert::eraseMovesSlotsDown()
{
    QFETCH(int, mode);
    QFETCH(int, number);
    const auto sessionMode = static_cast<SessionMode>(mode);
    const int last = mode::lastMessage(sessionMode);

    const MemoryImage before = patterned();
    MemoryImage expected = before;
    for (int slot = number; slot < last; ++slot)
        copySlot(expected, slot, before, slot + 1);
    zeroSlot(expected, last);

    MemoryImage image = before;
    QVERIFY(slotshift::erase(image, number, sessionMode));
    QCOMPARE(firstDifference(image, expected), -1);
}

void TestInsert::insertQuestion_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("lastUnitCell");
    QTest::addColumn<QString>("question");

    const int sans = static_cast<int>(SessionMode::WithoutPlc);
    const int avec = static_cast<int>(SessionMode::WithPlc);
    const QString first = QStringLiteral(" Insérer un nouveau message ?  \n\r");
    QTest::newRow("without PLC, slot 16 present") << sans << 130 << first + QStringLiteral("( Le message n° 16 sera écrasé)");
    QTest::newRow("without PLC, slot 16 unit cell 5") << sans << 5 << first + QStringLiteral("( Le message n° 16 sera écrasé)");
    QTest::newRow("without PLC, slot 16 empty") << sans << 0 << first;
    QTest::newRow("with PLC, slot 180 present") << avec << 128 << first + QStringLiteral("( Le message n° 180 sera écrasé)");
    QTest::newRow("with PLC, slot 180 empty") << avec << 0 << first;
}

void TestInsert::insertQuestion()
{
    QFETCH(int, mode);
    QFETCH(int, lastUnitCell);
    QFETCH(QString, question);

    const auto sessionMode = static_cast<SessionMode>(mode);
    MemoryImage image;
    image.set(address::unitCell(mode::lastMessage(sessionMode)), lastUnitCell);
    // The other mode's last slot does not matter.
    image.set(address::unitCell(mode::lastMessage(sessionMode == SessionMode::WithPlc
                                                      ? SessionMode::WithoutPlc : SessionMode::WithPlc)), 0);
    QCOMPARE(slotshift::insertQuestion(image, sessionMode), question);
}

void TestInsert::eraseQuestion_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("question");
    QTest::newRow("0") << 0 << QStringLiteral(" Effacer le message n°0 ? \n\r");
    QTest::newRow("7") << 7 << QStringLiteral(" Effacer le message n°7 ? \n\r");
    QTest::newRow("180") << 180 << QStringLiteral(" Effacer le message n°180 ? \n\r");
}

void TestInsert::eraseQuestion()
{
    QFETCH(int, number);
    QFETCH(QString, question);
    QCOMPARE(slotshift::eraseQuestion(number), question);
}

void TestInsert::eraseThenRecount()
{
    // With PLC and messages 0 to 9 present, erasing 3 leaves 9 present: 172 empty.
    MemoryImage image;
    for (int n = 0; n < 10; ++n) {
        image.set(address::unitCell(n), 128 + n);
        image.set(address::priorityCell(n), n + 1);
        image.set(address::textStart(n), 'A' + n);
        image.set(address::textStart(n) + 1, address::kEndMarker);
    }
    QVERIFY(slotshift::erase(image, 3, SessionMode::WithPlc));
    QCOMPARE(recount(image, SessionMode::WithPlc), 9);
    QCOMPARE(image[address::kEmptyCountCell], 172);
    for (int n = 3; n < 9; ++n) {
        QCOMPARE(image[address::unitCell(n)], 128 + n + 1);
        QCOMPARE(image[address::textStart(n)], 'A' + n + 1);
    }
    QCOMPARE(image[address::unitCell(9)], 0);
}

void TestInsert::numberPastTheLastChangesNothing()
{
    const MemoryImage before = patterned();
    MemoryImage image = before;
    QVERIFY(!slotshift::insertEmpty(image, 17, SessionMode::WithoutPlc));
    QVERIFY(!slotshift::erase(image, 17, SessionMode::WithoutPlc));
    QVERIFY(!slotshift::erase(image, -1, SessionMode::WithPlc));
    QCOMPARE(firstDifference(image, before), -1);
}

QTEST_GUILESS_MAIN(TestInsert)
#include "test_insert.moc"
