// The display preview: the four windows, their cells and their tick, then
// "&Affichage", "Centrer" and "Annuler (centrer)" on the main window.

#include "LimitMarker.h"
#include "MessageEditor.h"
#include "PreviewWindow.h"
#include "support/WindowUnderTest.h"

#include <QApplication>
#include <QCheckBox>
#include <QPointer>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest/QTest>

using namespace torsa;
using namespace Qt::StringLiterals;

namespace {

// The editor side of a preview: a text and 40 boxes, counting the writes.
class EditorStub final : public PreviewSource {
public:
    QString text;
    BlinkBoxes boxes{};
    int writes = 0;

    QString editorText() const override { return text; }
    void setEditorText(const QString &t) override
    {
        text = t;
        ++writes;
    }
    BlinkBoxes blinkBoxes() const override { return boxes; }
};

struct Fixture : testing::WindowUnderTest {
    Fixture()
    {
        window->show();
        newSession("MENU_ED_AVEC");
        prompts->shown.clear();
    }
    void centre() const { click("Commande2"); }
    QStringList checkedItems() const
    {
        QStringList checked;
        for (const char *display : {"MENU_VISU116", "MENU_VISU120", "MENU_VISU216", "MENU_VISU220"})
            if (item(display)->isChecked())
                checked << QString::fromUtf8(display);
        return checked;
    }
};

BlinkBoxes boxesAt(std::initializer_list<int> positions)
{
    BlinkBoxes boxes{};
    for (const int i : positions)
        boxes[static_cast<std::size_t>(i - 1)] = true;
    return boxes;
}

QLabel *cell(const QWidget &window, int i)
{
    return window.findChild<QLabel *>(u"Label%1"_s.arg(i));
}

QStringList cellTexts(const QWidget &window)
{
    QStringList texts;
    for (int i = 1; i <= preview::kCellCount; ++i)
        texts << cell(window, i)->text();
    return texts;
}

// The preview window on screen, when exactly one is.
PreviewWindow *onlyPreview()
{
    QList<PreviewWindow *> open;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *p = qobject_cast<PreviewWindow *>(w); p && p->isVisible())
            open << p;
    return open.size() == 1 ? open.first() : nullptr;
}

// Spaces written as dots, to be counted.
QString dots(const char *text)
{
    return QString::fromUtf8(text).replace(u'.', u' ');
}

} // namespace

Q_DECLARE_METATYPE(DisplayType)

class TestPreview : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        // No preview of one test may be seen by the next.
        QTRY_VERIFY(!qobject_cast<PreviewWindow *>(QApplication::activeWindow()) && !onlyPreview());
    }

    void displayWindow_data()
    {
        QTest::addColumn<DisplayType>("type");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("boundary"); // x where a one-line display ends; 0: two lines
        const QString caption = u"Visualisation sur afficheur %1 fois %2 caractères"_s;
        QTest::newRow("1x16") << DisplayType::OneBySixteen << u"V116"_s << caption.arg(1).arg(16) << 272;
        QTest::newRow("1x20") << DisplayType::OneByTwenty << u"V120"_s << caption.arg(1).arg(20) << 336;
        QTest::newRow("2x16") << DisplayType::TwoBySixteen << u"V216"_s << caption.arg(2).arg(16) << 0;
        QTest::newRow("2x20") << DisplayType::TwoByTwenty << u"V220"_s << caption.arg(2).arg(20) << 0;
    }

    // Each window: its design, then a ruler until its first tick, then the blink
    // phases, the shown one first. A text of 40 is left alone (cursor and undo kept).
    void displayWindow()
    {
        QFETCH(DisplayType, type);
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(int, boundary);
        EditorStub editor;
        editor.text = QString(40, u'A');
        editor.boxes = boxesAt({1});
        PreviewWindow window(type, editor);
        QCOMPARE(window.objectName(), name);
        QCOMPARE(window.windowTitle(), caption);
        // No owner, not modal: the main window stays usable.
        QVERIFY(window.parentWidget() == nullptr && window.windowModality() == Qt::NonModal);
        const auto *timer = window.findChild<QTimer *>(u"Timer1"_s);
        QVERIFY(timer->isActive() && timer->interval() == 500);
        QStringList ruler;
        for (int i = 1; i <= preview::kCellCount; ++i)
            ruler << QString::number(i % 10);
        QCOMPARE(cellTexts(window), ruler);
        window.tick();
        QCOMPARE(cellTexts(window), QStringList(preview::kCellCount, u"A"_s));
        window.tick();
        QVERIFY(cell(window, 1)->text().isEmpty() && cell(window, 2)->text() == u"A"_s && editor.writes == 0);

        // The cells of the display stand inside its frame, line 2 under line 1;
        // characters 33 to 40 of the 2 x 16 display never reach lines 1 and 2.
        const QRect frame = window.findChild<QWidget *>(u"Shape1"_s)->geometry();
        const int width = display::width(type);
        for (int i = 1; i <= width * display::lines(type); ++i)
            QVERIFY2(frame.contains(cell(window, i)->geometry()), qPrintable(QString::number(i)));
        QCOMPARE(cell(window, 40)->isVisibleTo(&window), type != DisplayType::TwoBySixteen);
        auto *marker = window.findChild<QLabel *>(u"Label41"_s);
        if (boundary == 0) {
            QCOMPARE(cell(window, width + 1)->x(), cell(window, 1)->x());
            QVERIFY(cell(window, width + 1)->y() > cell(window, 1)->y() && marker == nullptr);
            return;
        }
        // The marker stands between the last cell of the display and the next one,
        // its caption readable whole.
        QCOMPARE(cell(window, width + 1)->x(), boundary);
        QVERIFY(cell(window, width)->geometry().right() <= boundary);
        QCOMPARE(window.findChild<LimitMarker *>()->lines().front().x1(), boundary);
        QCOMPARE(marker->text(), u"Limite de défilement"_s);
        QVERIFY(QFontMetrics(marker->font()).horizontalAdvance(marker->text()) <= marker->width());
    }

    // Each display item opens its preview and is the only one checked; choosing a
    // display, the same one included, closes the preview open before. Without a
    // display "Centrer" refuses and "Annuler (centrer)" has nothing to give back.
    void onlyOnePreviewEverOpen()
    {
        const Fixture f;
        f.text()->setText(u"ABC"_s);
        f.centre();
        QCOMPARE(f.prompts->last(),
                 testing::box(u"Sélectionner un afficheur dans le menu affichage."_s, PromptIcon::Information));
        f.item("MENU_ED_ANNULER")->trigger();
        QCOMPARE(f.text()->text(), QString());

        QPointer<PreviewWindow> previous;
        const std::pair<const char *, DisplayType> choices[] = {{"MENU_VISU220", DisplayType::TwoByTwenty},
                                                                {"MENU_VISU116", DisplayType::OneBySixteen},
                                                                {"MENU_VISU216", DisplayType::TwoBySixteen},
                                                                {"MENU_VISU216", DisplayType::TwoBySixteen},
                                                                {"MENU_VISU120", DisplayType::OneByTwenty}};
        for (const auto &[item, type] : choices) {
            f.item(item)->trigger();
            QCOMPARE(f.checkedItems(), QStringList{QString::fromUtf8(item)});
            QVERIFY(previous.isNull()); // gone, not merely hidden
            previous = onlyPreview();
            QVERIFY(previous && previous->displayType() == type);
        }
        QCOMPARE(f.prompts->shown.size(), 1);
    }

    // The preview shows the editor's text and boxes and cuts the text to 40
    // characters at its tick, only while it is open; a closed preview leaves its
    // display chosen for "Centrer".
    void previewFollowsTheEditorUntilClosed()
    {
        const Fixture f;
        f.item("MENU_VISU120")->trigger();
        const QString forty = QString(39, u'X') + u'Z';
        f.get<QCheckBox>("Coche2")->setChecked(true);
        f.text()->setText(forty + u"Y"_s);
        QTRY_COMPARE(f.text()->text(), forty);
        const QPointer<PreviewWindow> open = onlyPreview();
        QVERIFY(open);
        QTRY_COMPARE(cell(*open, 40)->text(), u"Z"_s);
        // The ticked character blinks, its neighbour does not.
        QTRY_COMPARE(cell(*open, 1)->text(), QString());
        QCOMPARE(cell(*open, 2)->text(), u"X"_s);
        QTRY_COMPARE(cell(*open, 1)->text(), u"X"_s);

        QVERIFY(open->close());
        QTRY_VERIFY(open.isNull());
        QCOMPARE(f.checkedItems(), QStringList{u"MENU_VISU120"_s});
        f.text()->setText(forty + u"Y"_s);
        QSignalSpy refresh(f.get<QTimer>("Timer1"), &QTimer::timeout);
        QVERIFY(refresh.wait(2000));
        QCOMPARE(f.text()->text(), forty + u"Y"_s);
        f.text()->setText(u"POMPE 1"_s);
        f.centre();
        QCOMPARE(f.text()->text(), dots("......POMPE.1"));
    }

    // "Centrer" twice, then "Annuler (centrer)": the text centered once for the
    // chosen display, the boxes left where they were, the text typed back; a text
    // that fits no way is refused each time and undo gives the text before the last try.
    void centerTwiceThenUndo_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("centered");
        QTest::newRow("1x16") << u"MENU_VISU116"_s << dots("..ABC") << dots("......ABC");
        QTest::newRow("2x20") << u"MENU_VISU220"_s << dots("TEMPERATURE.HAUTE.FOUR.3")
                              << dots(".TEMPERATURE.HAUTE.........FOUR.3");
        QTest::newRow("2x16 impossible") << u"MENU_VISU216"_s << dots("..PRESSION.BASSE.CIRCUIT.PRINCIPAL.")
                                         << dots("PRESSION.BASSE.CIRCUIT.PRINCIPAL");
    }

    void centerTwiceThenUndo()
    {
        QFETCH(QString, item);
        QFETCH(QString, typed);
        QFETCH(QString, centered);
        const Fixture f;
        f.item(item.toUtf8().constData())->trigger();
        f.text()->setText(typed);
        f.get<QCheckBox>("Coche3")->setChecked(true);
        f.centre();
        f.centre();
        QCOMPARE(f.text()->text(), centered);
        QCOMPARE(f.get<MessageEditor>("Cadre1")->blinkBoxes(), boxesAt({2}));
        const bool impossible = QByteArray(QTest::currentDataTag()).endsWith("impossible");
        f.item("MENU_ED_ANNULER")->trigger();
        QCOMPARE(f.text()->text(), impossible ? centered : typed);
        QCOMPARE(f.prompts->shown.size(), impossible ? 2 : 0);
        for (const testing::Shown &box : f.prompts->shown)
            QVERIFY(box.text == u"Centrage automatique impossible."_s && box.icon == PromptIcon::Exclamation);
    }
};

QTEST_MAIN(TestPreview)
#include "test_preview.moc"
