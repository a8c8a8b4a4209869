// "Insérer" and "Effacer" on the main window: questions, answers and what the
// editor shows afterwards.

#include "editor/MainWindow.h"
#include "store/AddressMap.h"
#include "store/Validation.h"
#include "support/WindowUnderTest.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest/QTest>

#include <memory>

using namespace torsa;

namespace {

struct Fixture : testing::WindowUnderTest {
    explicit Fixture(const char *session)
    {
        newSession(session);
        prompts->shown.clear();
    }

    QScrollBar *numberBar() const { return get<QScrollBar>("DéfilementH1"); }
    QLineEdit *text() const { return get<QLineEdit>("Texte1"); }

    // Messages 0 to last, message n with the text "Mn", blinking first character.
    void fill(int last)
    {
        for (int n = 0; n <= last; ++n) {
            EditedMessage message;
            message.number = n;
            message.unit = n % 32;
            message.text = QStringLiteral("M%1").arg(n);
            message.blink[0] = true;
            validation::store(window->image(), message);
        }
    }
    void click(const char *button, bool yes)
    {
        prompts->answers.push_back(yes);
        get<QPushButton>(button)->click();
    }
};

} // namespace

class InsertWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void insertAsksAndMovesUp_data();
    void insertAsksAndMovesUp();
    void eraseAsksAndMovesDown_data();
    void eraseAsksAndMovesDown();
    void noChangesNothing();
};

void InsertWindowTest::insertAsksAndMovesUp_data()
{
    QTest::addColumn<QByteArray>("session");
    QTest::addColumn<int>("filledUpTo");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("question");

    const QString first = QStringLiteral(" Insérer un nouveau message ?  \n\r");
    QTest::newRow("without PLC, 5, all present") << QByteArray("MENU_ED_SANS") << 16 << 5
        << first + QStringLiteral("( Le message n° 16 sera écrasé)");
    QTest::newRow("without PLC, 0, slot 16 empty") << QByteArray("MENU_ED_SANS") << 15 << 0 << first;
    QTest::newRow("without PLC, last") << QByteArray("MENU_ED_SANS") << 16 << 16
        << first + QStringLiteral("( Le message n° 16 sera écrasé)");
    QTest::newRow("with PLC, 90") << QByteArray("MENU_ED_AVEC") << 180 << 90
        << first + QStringLiteral("( Le message n° 180 sera écrasé)");
    QTest::newRow("with PLC, last, slot 180 empty") << QByteArray("MENU_ED_AVEC") << 20 << 180 << first;
}

void InsertWindowTest::insertAsksAndMovesUp()
{
    QFETCH(QByteArray, session);
    QFETCH(int, filledUpTo);
    QFETCH(int, number);
    QFETCH(QString, question);

    Fixture f(session.constData());
    f.fill(filledUpTo);
    f.numberBar()->setValue(number);
    f.window->DefilementH1_Change();
    const bool boxBefore = f.get<QCheckBox>("Coche2")->isChecked();
    QCOMPARE(boxBefore, number <= filledUpTo);   // message n's blinking first character
    const MemoryImage before = f.window->image();
    const int last = f.numberBar()->maximum();

    f.click("Commande1", true);
    QCOMPARE(f.prompts->shown.size(), 1);
    QCOMPARE(f.prompts->lastText(), question);
    QCOMPARE(f.prompts->lastIcon(), PromptIcon::Question);

    const MemoryImage &image = f.window->image();
    for (int a = address::slotStart(number); a < address::slotStart(number + 1); ++a)
        QCOMPARE(image[a], 0);
    for (int n = number + 1; n <= last; ++n)
        QCOMPARE(image[address::textStart(n) + 1], before[address::textStart(n - 1) + 1]);
    // Nothing else moves; the editor stays on n with its boxes, its text emptied.
    for (int a = address::slotStart(last + 1); a < address::kImageSize; ++a)
        QCOMPARE(image[a], before[a]);
    QCOMPARE(f.numberBar()->value(), number);
    QCOMPARE(f.text()->text(), QString());
    QCOMPARE(f.get<QCheckBox>("Coche2")->isChecked(), boxBefore);
}

void InsertWindowTest::eraseAsksAndMovesDown_data()
{
    QTest::addColumn<QByteArray>("session");
    QTest::addColumn<int>("filledUpTo");
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("emptyCount");
    QTest::addColumn<QString>("shownAfter");

    QTest::newRow("with PLC 0 to 9, erase 3") << QByteArray("MENU_ED_AVEC") << 9 << 3 << 172 << QStringLiteral("M4");
    QTest::newRow("with PLC, erase 0") << QByteArray("MENU_ED_AVEC") << 180 << 0 << 1 << QStringLiteral("M1");
    QTest::newRow("with PLC, erase last") << QByteArray("MENU_ED_AVEC") << 180 << 180 << 1 << QString();
    QTest::newRow("without PLC, erase 8") << QByteArray("MENU_ED_SANS") << 16 << 8 << 1 << QStringLiteral("M9");
    QTest::newRow("without PLC, erase last") << QByteArray("MENU_ED_SANS") << 16 << 16 << 1 << QString();
}

void InsertWindowTest::eraseAsksAndMovesDown()
{
    QFETCH(QByteArray, session);
    QFETCH(int, filledUpTo);
    QFETCH(int, number);
    QFETCH(int, emptyCount);
    QFETCH(QString, shownAfter);

    Fixture f(session.constData());
    f.fill(filledUpTo);
    f.numberBar()->setValue(number);
    const int last = f.numberBar()->maximum();

    f.click("Commande7", true);
    QCOMPARE(f.prompts->lastText(), QStringLiteral(" Effacer le message n°%1 ? \n\r").arg(number));
    QCOMPARE(f.prompts->lastIcon(), PromptIcon::Question);

    const MemoryImage &image = f.window->image();
    for (int a = address::slotStart(last); a < address::slotStart(last + 1); ++a)
        QCOMPARE(image[a], 0);
    QCOMPARE(image[address::kEmptyCountCell], emptyCount);
    QCOMPARE(f.window->messageTally(), filledUpTo);
    // The editor shows the message now at n, with its boxes.
    QCOMPARE(f.text()->text(), shownAfter);
    QCOMPARE(f.get<QCheckBox>("Coche2")->isChecked(), !shownAfter.isEmpty());
    QCOMPARE(f.numberBar()->value(), number);
}

void InsertWindowTest::noChangesNothing()
{
    Fixture f("MENU_ED_SANS");
    f.fill(16);
    f.numberBar()->setValue(4);
    f.text()->setText(QStringLiteral("tapé"));
    const MemoryImage before = f.window->image();
    f.click("Commande1", false);
    f.click("Commande7", false);
    QCOMPARE(f.prompts->shown.size(), 2);
    QVERIFY(f.window->image() == before);
    QCOMPARE(f.text()->text(), QStringLiteral("tapé"));
}

QTEST_MAIN(InsertWindowTest)
#include "test_insert_window.moc"
