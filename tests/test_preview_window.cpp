// The "&Affichage" menu, "Centrer" and "Annuler (centrer)" on the main window:
// the preview window it opens, the check marks, the messages and the texts.

#include "editor/MainWindow.h"
#include "preview/PreviewWindow.h"
#include "support/WindowUnderTest.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest/QTest>

#include <memory>

using namespace torsa;

namespace {

const char *const kDisplayItems[] = {"MENU_VISU116", "MENU_VISU120", "MENU_VISU216", "MENU_VISU220"};

struct Fixture : testing::WindowUnderTest {
    Fixture()
    {
        window->show();
        newSession("MENU_ED_AVEC");
        prompts->shown.clear();
    }

    QLineEdit *text() const { return get<QLineEdit>("Texte1"); }
    void choose(const char *item) const { get<QAction>(item)->trigger(); }
    void centre() const { get<QPushButton>("Commande2")->click(); }
    void undo() const { get<QAction>("MENU_ED_ANNULER")->trigger(); }
    QStringList checkedItems() const
    {
        QStringList checked;
        for (const char *item : kDisplayItems)
            if (get<QAction>(item)->isChecked())
                checked << QString::fromUtf8(item);
        return checked;
    }
};

QList<PreviewWindow *> openPreviews()
{
    QList<PreviewWindow *> open;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *p = qobject_cast<PreviewWindow *>(w); p && p->isVisible())
            open << p;
    return open;
}

PreviewWindow *onlyPreview()
{
    const QList<PreviewWindow *> open = openPreviews();
    return open.size() == 1 ? open.first() : nullptr;
}

QString cellText(const QWidget &preview, int i)
{
    return preview.findChild<QLabel *>(QStringLiteral("Label%1").arg(i))->text();
}

QString dots(const char *text)
{
    return QString::fromUtf8(text).replace(u'.', u' ');
}

} // namespace

class PreviewWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup();

    void noDisplayAtStart();
    void centerWithoutDisplayRefuses();
    void chooseDisplay_data();
    void chooseDisplay();
    void onlyOnePreviewEverOpen();
    void sameDisplayReopensAfresh();
    void previewShowsTheEditor();
    void limitWithPreviewOpen();
    void noLimitWithoutPreview();
    void centerTwiceThenUndo_data();
    void centerTwiceThenUndo();
    void impossibleCentering();
    void oneLineTooLongIsLeftAsTyped();
    void undoBeforeAnyCenteringEmpties();
    void centeringLeavesBlinkBoxes();
    void closedPreviewKeepsDisplayType();
    void previewDoesNotOutliveMainWindow();
};

void PreviewWindowTest::cleanup()
{
    // No preview of one test may be seen by the next.
    QTRY_VERIFY(openPreviews().isEmpty());
}

void PreviewWindowTest::noDisplayAtStart()
{
    const Fixture f;
    QVERIFY(f.checkedItems().isEmpty());
    QCOMPARE(f.window->displayType(), DisplayType::None);
    QVERIFY(openPreviews().isEmpty());
}

void PreviewWindowTest::centerWithoutDisplayRefuses()
{
    const Fixture f;
    f.text()->setText(QStringLiteral("ABC"));
    f.centre();
    QCOMPARE(f.prompts->shown.size(), 1);
    QCOMPARE(f.prompts->lastText(), QStringLiteral("Sélectionner un afficheur dans le menu affichage."));
    QCOMPARE(f.prompts->lastIcon(), PromptIcon::Information);
    QCOMPARE(f.text()->text(), QStringLiteral("ABC"));
    f.undo(); // no undo text was saved
    QCOMPARE(f.text()->text(), QString());
}

void PreviewWindowTest::chooseDisplay_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("preview");
    QTest::addColumn<DisplayType>("type");

    QTest::newRow("1x16") << QStringLiteral("MENU_VISU116") << QStringLiteral("V116") << DisplayType::OneBySixteen;
    QTest::newRow("1x20") << QStringLiteral("MENU_VISU120") << QStringLiteral("V120") << DisplayType::OneByTwenty;
    QTest::newRow("2x16") << QStringLiteral("MENU_VISU216") << QStringLiteral("V216") << DisplayType::TwoBySixteen;
    QTest::newRow("2x20") << QStringLiteral("MENU_VISU220") << QStringLiteral("V220") << DisplayType::TwoByTwenty;
}

void PreviewWindowTest::chooseDisplay()
{
    QFETCH(QString, item);
    QFETCH(QString, preview);
    QFETCH(DisplayType, type);

    const Fixture f;
    f.text()->setText(QStringLiteral("ABC"));
    f.choose(item.toUtf8().constData());
    QCOMPARE(f.checkedItems(), QStringList{item});
    QCOMPARE(f.window->displayType(), type);
    PreviewWindow *open = onlyPreview();
    QVERIFY(open);
    QCOMPARE(open->objectName(), preview);
    // No owner, not modal: the main window stays usable.
    QCOMPARE(open->parentWidget(), nullptr);
    QCOMPARE(open->windowModality(), Qt::NonModal);
    QVERIFY(f.window->isEnabled());
    QVERIFY(f.prompts->shown.isEmpty());
    QCOMPARE(f.text()->text(), QStringLiteral("ABC"));
}

void PreviewWindowTest::onlyOnePreviewEverOpen()
{
    const Fixture f;
    const char *const order[] = {"MENU_VISU220", "MENU_VISU116", "MENU_VISU216", "MENU_VISU120", "MENU_VISU216"};
    QPointer<PreviewWindow> previous;
    for (const char *item : order) {
        f.choose(item);
        QCOMPARE(openPreviews().size(), 1);
        QCOMPARE(f.checkedItems(), QStringList{QString::fromUtf8(item)});
        QVERIFY(previous.isNull()); // the one before is gone, not merely hidden
        previous = onlyPreview();
    }
}

void PreviewWindowTest::sameDisplayReopensAfresh()
{
    const Fixture f;
    f.text()->setText(QStringLiteral("AB"));
    f.get<QCheckBox>("Coche2")->setChecked(true);
    f.choose("MENU_VISU216");
    const QPointer<PreviewWindow> first = onlyPreview();
    QVERIFY(first);
    QTRY_COMPARE(cellText(*first, 2), QStringLiteral("B"));

    f.choose("MENU_VISU216");
    QVERIFY(first.isNull());
    PreviewWindow *again = onlyPreview();
    QVERIFY(again);
    QCOMPARE(f.checkedItems(), QStringList{QStringLiteral("MENU_VISU216")});
    QCOMPARE(again->blinkPhase(), 0);
    QCOMPARE(cellText(*again, 1), QStringLiteral("1"));
    QCOMPARE(cellText(*again, 2), QStringLiteral("2"));
    QSignalSpy ticks(again->findChild<QTimer *>(QStringLiteral("Timer1")), &QTimer::timeout);
    QVERIFY(ticks.wait(2000));
    QCOMPARE(again->blinkPhase(), -1); // shown phase first
    QCOMPARE(cellText(*again, 1), QStringLiteral("A"));
    QVERIFY(ticks.wait(2000));
    QCOMPARE(cellText(*again, 1), QString());
    QCOMPARE(cellText(*again, 2), QStringLiteral("B"));
}

void PreviewWindowTest::previewShowsTheEditor()
{
    const Fixture f;
    f.choose("MENU_VISU216");
    PreviewWindow *open = onlyPreview();
    QVERIFY(open);
    f.text()->setText(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ"));
    QTRY_COMPARE(cellText(*open, 1), QStringLiteral("A"));
    QCOMPARE(cellText(*open, 16), QStringLiteral("P"));
    QCOMPARE(cellText(*open, 17), QStringLiteral("Q"));
    QCOMPARE(cellText(*open, 26), QStringLiteral("Z"));
    for (int i = 27; i <= 40; ++i)
        QCOMPARE(cellText(*open, i), QString());
}

void PreviewWindowTest::limitWithPreviewOpen()
{
    const Fixture f;
    f.choose("MENU_VISU120");
    const QString forty = QString(40, u'X');
    f.text()->setText(forty);
    f.text()->setFocus();
    f.text()->end(false);
    QTest::keyClicks(f.text(), QStringLiteral("Y"));
    QCOMPARE(f.text()->text().size(), 41);
    QTRY_COMPARE(f.text()->text(), forty);
}

void PreviewWindowTest::noLimitWithoutPreview()
{
    const Fixture f;
    f.choose("MENU_VISU116");
    onlyPreview()->close();
    QTRY_VERIFY(openPreviews().isEmpty());
    const QString fortyOne = QString(41, u'X');
    f.text()->setText(fortyOne);
    // A tick of the main window's refresh passes, and then another second.
    QSignalSpy refresh(f.get<QTimer>("Timer1"), &QTimer::timeout);
    QVERIFY(refresh.wait(2000));
    QVERIFY(refresh.wait(2000));
    QCOMPARE(f.text()->text(), fortyOne);
}

void PreviewWindowTest::centerTwiceThenUndo_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("centered");

    QTest::newRow("1x16") << QStringLiteral("MENU_VISU116") << dots("..ABC") << dots("......ABC");
    QTest::newRow("1x20") << QStringLiteral("MENU_VISU120") << dots("ABC") << dots("........ABC");
    QTest::newRow("2x16 short") << QStringLiteral("MENU_VISU216") << dots("ABC.") << dots("......ABC");
    QTest::newRow("2x16 two lines") << QStringLiteral("MENU_VISU216") << dots("ALARME.POMPE.NUMERO.2")
                                    << dots("..ALARME.POMPE......NUMERO.2");
    QTest::newRow("2x20") << QStringLiteral("MENU_VISU220") << dots("TEMPERATURE.HAUTE.FOUR.3")
                          << dots(".TEMPERATURE.HAUTE.........FOUR.3");
}

void PreviewWindowTest::centerTwiceThenUndo()
{
    QFETCH(QString, item);
    QFETCH(QString, typed);
    QFETCH(QString, centered);

    const Fixture f;
    f.choose(item.toUtf8().constData());
    f.text()->setText(typed);
    f.centre();
    QCOMPARE(f.text()->text(), centered);
    f.centre();
    QCOMPARE(f.text()->text(), centered);
    f.undo();
    QCOMPARE(f.text()->text(), typed);
    QVERIFY(f.prompts->shown.isEmpty());
}

void PreviewWindowTest::impossibleCentering()
{
    const Fixture f;
    f.choose("MENU_VISU216");
    const QString typed = dots("..PRESSION.BASSE.CIRCUIT.PRINCIPAL.");
    f.text()->setText(typed);
    f.centre();
    QCOMPARE(f.prompts->shown.size(), 1);
    QCOMPARE(f.prompts->lastText(), QStringLiteral("Centrage automatique impossible."));
    QCOMPARE(f.prompts->lastIcon(), PromptIcon::Exclamation);
    QCOMPARE(f.text()->text(), dots("PRESSION.BASSE.CIRCUIT.PRINCIPAL"));
    f.undo();
    QCOMPARE(f.text()->text(), typed);
}

void PreviewWindowTest::oneLineTooLongIsLeftAsTyped()
{
    const Fixture f;
    f.choose("MENU_VISU116");
    const QString typed = dots(".NIVEAU.HAUT.CUVE.");
    f.text()->setText(typed);
    f.centre();
    QVERIFY(f.prompts->shown.isEmpty());
    QCOMPARE(f.text()->text(), typed);
    f.text()->setText(QStringLiteral("other"));
    f.undo();
    QCOMPARE(f.text()->text(), typed);
}

void PreviewWindowTest::undoBeforeAnyCenteringEmpties()
{
    const Fixture f;
    f.text()->setText(QStringLiteral("ABC"));
    f.undo();
    QCOMPARE(f.text()->text(), QString());
}

void PreviewWindowTest::centeringLeavesBlinkBoxes()
{
    const Fixture f;
    f.choose("MENU_VISU120");
    f.text()->setText(QStringLiteral("ABC"));
    f.get<QCheckBox>("Coche2")->setChecked(true);
    f.centre();
    QCOMPARE(f.text()->text(), dots("........ABC"));
    BlinkBoxes expected{};
    expected[0] = true;
    QCOMPARE(f.window->blinkBoxes(), expected);
}

void PreviewWindowTest::closedPreviewKeepsDisplayType()
{
    const Fixture f;
    f.choose("MENU_VISU120");
    const QPointer<PreviewWindow> open = onlyPreview();
    QVERIFY(open);
    QVERIFY(open->close());
    QTRY_VERIFY(open.isNull());
    QCOMPARE(f.checkedItems(), QStringList{QStringLiteral("MENU_VISU120")});
    f.text()->setText(QStringLiteral("POMPE 1"));
    f.centre();
    QCOMPARE(f.text()->text(), dots("......POMPE.1"));
}

void PreviewWindowTest::previewDoesNotOutliveMainWindow()
{
    QPointer<PreviewWindow> open;
    {
        Fixture f;
        f.choose("MENU_VISU220");
        open = onlyPreview();
        QVERIFY(open);
        // Closing the main window ends the program's event loop although the
        // preview is still open.
        bool stillRunning = false;
        QTimer::singleShot(0, f.window.get(), [&f] { f.window->close(); });
        QTimer::singleShot(10000, qApp, [&stillRunning] {
            stillRunning = true;
            QCoreApplication::exit(1);
        });
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(!stillRunning);
    }
    QVERIFY(open.isNull());
}

QTEST_MAIN(PreviewWindowTest)
#include "test_preview_window.moc"
