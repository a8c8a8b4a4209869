// The display preview apart from the main window: the 40-character limit, the
// cells at each blink phase, the four window designs, the tick, and the holder
// that keeps at most one preview open.

#include "preview/PreviewHolder.h"
#include "preview/PreviewLayout.h"
#include "preview/PreviewRender.h"
#include "preview/PreviewWindow.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace torsa;

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

BlinkBoxes boxesAt(std::initializer_list<int> positions)
{
    BlinkBoxes boxes{};
    for (const int i : positions)
        boxes[static_cast<std::size_t>(i - 1)] = true;
    return boxes;
}

QLabel *cell(const QWidget &window, int i)
{
    return window.findChild<QLabel *>(QStringLiteral("Label%1").arg(i));
}

QStringList cellTexts(const QWidget &window)
{
    QStringList texts;
    for (int i = 1; i <= preview::kCellCount; ++i)
        texts << cell(window, i)->text();
    return texts;
}

QStringList toList(const preview::CellTexts &cells)
{
    return QStringList(cells.begin(), cells.end());
}

// The 40 cells of text, one character each, empty past its end.
QStringList expectedCells(const QString &text)
{
    QStringList cells;
    for (int i = 0; i < preview::kCellCount; ++i)
        cells << (i < text.size() ? text.mid(i, 1) : QString());
    return cells;
}

QList<PreviewWindow *> visiblePreviews()
{
    QList<PreviewWindow *> open;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *p = qobject_cast<PreviewWindow *>(w); p && p->isVisible())
            open << p;
    return open;
}

const QString kAlphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ");

} // namespace

Q_DECLARE_METATYPE(DisplayType)

class TestPreview : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void limit_data();
    void limit();
    void render_data();
    void render();
    void twoBlinkingLettersOverThreeTicks();

    void design_data();
    void design();
    void cellsKeepTheirPositions_data();
    void cellsKeepTheirPositions();
    void limitMarker_data();
    void limitMarker();
    void rulerUntilFirstTick();
    void tickCutsOnlyLongTexts();

    void onlyOnePreviewOpen();
    void sameDisplayReopensAfresh();
    void closedByUserLeavesNoDanglingWindow();
    void holderClosesItsWindowWhenDestroyed();
};

void TestPreview::limit_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    const QString forty = kAlphabet + QStringLiteral("0123456789abcd");
    const QString clef = QString::fromUcs4(U"\U0001D11E");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("short") << QStringLiteral("POMPE") << QStringLiteral("POMPE");
    QTest::newRow("40") << forty << forty;
    QTest::newRow("41") << forty + u'X' << forty;
    QTest::newRow("42 trailing spaces") << forty + QStringLiteral("  ") << forty;
    // A character outside the Basic Multilingual Plane is one character.
    QTest::newRow("wide 40th") << forty.left(39) + clef + u'X' << forty.left(39) + clef;
}

void TestPreview::limit()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(preview::limit(text), expected);
}

void TestPreview::render_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<BlinkBoxes>("boxes");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QStringList>("expected");

    QStringList hiddenBC = expectedCells(QStringLiteral("ABCD"));
    hiddenBC[1].clear();
    hiddenBC[2].clear();

    QTest::newRow("steady, shown") << QStringLiteral("ABCD") << BlinkBoxes{} << true
                                   << expectedCells(QStringLiteral("ABCD"));
    QTest::newRow("steady, hidden phase") << QStringLiteral("ABCD") << BlinkBoxes{} << false
                                          << expectedCells(QStringLiteral("ABCD"));
    QTest::newRow("blinking, shown") << QStringLiteral("ABCD") << boxesAt({2, 3}) << true
                                     << expectedCells(QStringLiteral("ABCD"));
    QTest::newRow("blinking, hidden") << QStringLiteral("ABCD") << boxesAt({2, 3}) << false << hiddenBC;
    QTest::newRow("boxes past the end, hidden") << QStringLiteral("AB") << boxesAt({3, 4, 40}) << false
                                                << expectedCells(QStringLiteral("AB"));
    QTest::newRow("26 letters") << kAlphabet << BlinkBoxes{} << true << expectedCells(kAlphabet);
    QTest::newRow("spaces are cells") << QStringLiteral(" A ") << BlinkBoxes{} << true
                                      << expectedCells(QStringLiteral(" A "));
    QTest::newRow("all 40 hidden") << QString(40, u'X') << boxesAt({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13,
                                                                      14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24,
                                                                      25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35,
                                                                      36, 37, 38, 39, 40})
                                   << false << expectedCells(QString());

    const QString clef = QString::fromUcs4(U"\U0001D11E");
    QStringList wide = expectedCells(QStringLiteral("AxB"));
    wide[1] = clef;
    QTest::newRow("wide character is one cell") << QStringLiteral("A") + clef + u'B' << BlinkBoxes{} << true
                                                << wide;
}

void TestPreview::render()
{
    QFETCH(QString, text);
    QFETCH(BlinkBoxes, boxes);
    QFETCH(bool, shown);
    QFETCH(QStringList, expected);
    QCOMPARE(toList(preview::render(text, boxes, shown)), expected);
}

void TestPreview::twoBlinkingLettersOverThreeTicks()
{
    EditorStub editor;
    editor.text = QStringLiteral("AB");
    editor.boxes = boxesAt({1, 2});
    PreviewWindow window(DisplayType::TwoByTwenty, editor);
    auto *timer = window.findChild<QTimer *>(QStringLiteral("Timer1"));
    QVERIFY(timer);
    QSignalSpy ticks(timer, &QTimer::timeout);

    const QStringList shown = expectedCells(QStringLiteral("AB"));
    const QStringList hidden = expectedCells(QString());
    QCOMPARE(window.blinkPhase(), 0);
    QVERIFY(ticks.wait(2000));
    QCOMPARE(window.blinkPhase(), -1);
    QCOMPARE(cellTexts(window), shown);
    QVERIFY(ticks.wait(2000));
    QCOMPARE(window.blinkPhase(), 0);
    QCOMPARE(cellTexts(window), hidden);
    QVERIFY(ticks.wait(2000));
    QCOMPARE(cellTexts(window), shown);
}

void TestPreview::design_data()
{
    QTest::addColumn<DisplayType>("type");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QSize>("client");
    QTest::addColumn<QRect>("frame");

    // Twips at 15 to the pixel.
    QTest::newRow("1x16") << DisplayType::OneBySixteen << QStringLiteral("V116")
                          << QStringLiteral("Visualisation sur afficheur 1 fois 16 caractères") << QSize(675, 100)
                          << QRect(8, 16, 657, 49);
    QTest::newRow("1x20") << DisplayType::OneByTwenty << QStringLiteral("V120")
                          << QStringLiteral("Visualisation sur afficheur 1 fois 20 caractères") << QSize(677, 98)
                          << QRect(8, 16, 657, 49);
    QTest::newRow("2x16") << DisplayType::TwoBySixteen << QStringLiteral("V216")
                          << QStringLiteral("Visualisation sur afficheur 2 fois 16 caractères") << QSize(293, 101)
                          << QRect(8, 8, 273, 81);
    QTest::newRow("2x20") << DisplayType::TwoByTwenty << QStringLiteral("V220")
                          << QStringLiteral("Visualisation sur afficheur 2 fois 20 caractères") << QSize(355, 100)
                          << QRect(8, 8, 337, 81);
}

void TestPreview::design()
{
    QFETCH(DisplayType, type);
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QSize, client);
    QFETCH(QRect, frame);

    EditorStub editor;
    PreviewWindow window(type, editor);
    QCOMPARE(window.objectName(), name);
    QCOMPARE(window.windowTitle(), caption);
    QCOMPARE(window.size(), client);
    QVERIFY(window.isWindow());
    QCOMPARE(window.parentWidget(), nullptr);
    QCOMPARE(window.windowModality(), Qt::NonModal);
    QVERIFY(window.testAttribute(Qt::WA_DeleteOnClose));
    QVERIFY(!window.testAttribute(Qt::WA_QuitOnClose));

    auto *shape = window.findChild<QWidget *>(QStringLiteral("Shape1"));
    QVERIFY(shape);
    QCOMPARE(shape->geometry(), frame);

    auto *timer = window.findChild<QTimer *>(QStringLiteral("Timer1"));
    QVERIFY(timer);
    QCOMPARE(timer->interval(), 500);
    QVERIFY(timer->isActive());

    for (int i = 1; i <= preview::kCellCount; ++i) {
        const QLabel *label = cell(window, i);
        QVERIFY2(label, qPrintable(QStringLiteral("Label%1").arg(i)));
        QCOMPARE(label->font().family(), QStringLiteral("Courier New"));
        QVERIFY(label->font().bold());
        QCOMPARE(label->font().pixelSize(), 24); // 18 points at 96 dots per inch
        // The cells of the display stand inside the frame.
        if (preview::onDisplay(type, i))
            QVERIFY(frame.contains(label->geometry()));
    }
}

void TestPreview::cellsKeepTheirPositions_data()
{
    QTest::addColumn<DisplayType>("type");
    QTest::addColumn<int>("cell");
    QTest::addColumn<QRect>("geometry");

    // Column c at 240 + 240 (c - 1) twips; 255 x 495 twips, 375 high in the third row.
    QTest::newRow("1x16 cell 1") << DisplayType::OneBySixteen << 1 << QRect(16, 24, 17, 33);
    QTest::newRow("1x16 cell 16") << DisplayType::OneBySixteen << 16 << QRect(256, 24, 17, 33);
    QTest::newRow("1x16 cell 17") << DisplayType::OneBySixteen << 17 << QRect(272, 24, 17, 33);
    QTest::newRow("1x20 cell 40") << DisplayType::OneByTwenty << 40 << QRect(640, 24, 17, 33);
    QTest::newRow("2x16 cell 16") << DisplayType::TwoBySixteen << 16 << QRect(256, 16, 17, 33);
    QTest::newRow("2x16 cell 17") << DisplayType::TwoBySixteen << 17 << QRect(16, 48, 17, 33);
    QTest::newRow("2x16 cell 32") << DisplayType::TwoBySixteen << 32 << QRect(256, 48, 17, 33);
    QTest::newRow("2x16 cell 33") << DisplayType::TwoBySixteen << 33 << QRect(80, 88, 17, 25);
    QTest::newRow("2x16 cell 40") << DisplayType::TwoBySixteen << 40 << QRect(192, 88, 17, 25);
    QTest::newRow("2x20 cell 20") << DisplayType::TwoByTwenty << 20 << QRect(320, 16, 17, 33);
    QTest::newRow("2x20 cell 21") << DisplayType::TwoByTwenty << 21 << QRect(16, 48, 17, 33);
    QTest::newRow("2x20 cell 40") << DisplayType::TwoByTwenty << 40 << QRect(320, 48, 17, 33);
}

void TestPreview::cellsKeepTheirPositions()
{
    QFETCH(DisplayType, type);
    QFETCH(int, cell);
    QFETCH(QRect, geometry);

    EditorStub editor;
    PreviewWindow window(type, editor);
    QCOMPARE(::cell(window, cell)->geometry(), geometry);
}

void TestPreview::limitMarker_data()
{
    QTest::addColumn<DisplayType>("type");
    QTest::addColumn<int>("boundary");

    QTest::newRow("1x16") << DisplayType::OneBySixteen << 272; // 4080 twips
    QTest::newRow("1x20") << DisplayType::OneByTwenty << 336;  // 5040 twips
    QTest::newRow("2x16") << DisplayType::TwoBySixteen << 0;
    QTest::newRow("2x20") << DisplayType::TwoByTwenty << 0;
}

void TestPreview::limitMarker()
{
    QFETCH(DisplayType, type);
    QFETCH(int, boundary);

    EditorStub editor;
    PreviewWindow window(type, editor);
    window.show();
    auto *caption = window.findChild<QLabel *>(QStringLiteral("Label41"));
    if (boundary == 0) {
        QCOMPARE(caption, nullptr);
        return;
    }
    QVERIFY(caption);
    QCOMPARE(caption->text(), QStringLiteral("Limite de défilement"));
    QCOMPARE(caption->geometry(), QRect(boundary + 24, 80, 121, 17));
    // The caption must be readable whole within its 1815 twips.
    QVERIFY(QFontMetrics(caption->font()).horizontalAdvance(caption->text()) <= caption->width());

    // The boundary falls between the last cell of the display and the next one.
    const int width = display::width(type);
    QCOMPARE(cell(window, width + 1)->x(), boundary);
    QVERIFY(cell(window, width)->geometry().right() <= boundary);

    const preview::PreviewLayout design = preview::layoutOf(type);
    QVERIFY(design.marker);
    QCOMPARE(design.marker->lines[0], QLine(boundary * 15, 0, boundary * 15, 1320));
}

void TestPreview::rulerUntilFirstTick()
{
    EditorStub editor;
    editor.text = kAlphabet;
    PreviewWindow window(DisplayType::OneBySixteen, editor);
    QStringList ruler;
    for (int i = 1; i <= preview::kCellCount; ++i)
        ruler << QString::number(i % 10);
    QCOMPARE(cellTexts(window), ruler);
    QTRY_COMPARE(cellTexts(window), expectedCells(kAlphabet));
}

void TestPreview::tickCutsOnlyLongTexts()
{
    EditorStub editor;
    editor.text = QString(40, u'A');
    PreviewWindow window(DisplayType::TwoBySixteen, editor);
    window.Timer1_Timer();
    QCOMPARE(editor.writes, 0); // a text of 40 is left alone (cursor and undo kept)

    editor.text += u'B';
    window.Timer1_Timer();
    QCOMPARE(editor.text, QString(40, u'A'));
    QCOMPARE(editor.writes, 1);
    // Characters 33 to 40 of the 2 x 16 display never reach lines 1 and 2.
    QCOMPARE(cell(window, 33)->text(), QStringLiteral("A"));
    QVERIFY(!cell(window, 33)->isVisibleTo(&window));
}

void TestPreview::onlyOnePreviewOpen()
{
    EditorStub editor;
    PreviewHolder holder;
    const QPointer<PreviewWindow> first = holder.open(DisplayType::OneBySixteen, editor);
    QCOMPARE(visiblePreviews(), QList<PreviewWindow *>{first.data()});

    for (const DisplayType type : {DisplayType::TwoByTwenty, DisplayType::OneByTwenty, DisplayType::TwoBySixteen}) {
        PreviewWindow *next = holder.open(type, editor);
        QCOMPARE(visiblePreviews(), QList<PreviewWindow *>{next});
        QCOMPARE(holder.window(), next);
        QCOMPARE(next->displayType(), type);
    }
    QVERIFY(first.isNull());
}

void TestPreview::sameDisplayReopensAfresh()
{
    EditorStub editor;
    editor.text = QStringLiteral("AB");
    editor.boxes = boxesAt({1});
    PreviewHolder holder;
    const QPointer<PreviewWindow> first = holder.open(DisplayType::TwoByTwenty, editor);
    QSignalSpy ticks(first->findChild<QTimer *>(QStringLiteral("Timer1")), &QTimer::timeout);
    QVERIFY(ticks.wait(2000));
    QCOMPARE(first->blinkPhase(), -1);
    QCOMPARE(cell(*first, 1)->text(), QStringLiteral("A"));

    PreviewWindow *again = holder.open(DisplayType::TwoByTwenty, editor);
    QVERIFY(first.isNull());
    QCOMPARE(again->blinkPhase(), 0);
    QCOMPARE(cell(*again, 1)->text(), QStringLiteral("1"));
    QCOMPARE(cell(*again, 10)->text(), QStringLiteral("0"));
    QSignalSpy againTicks(again->findChild<QTimer *>(QStringLiteral("Timer1")), &QTimer::timeout);
    QVERIFY(againTicks.wait(2000));
    QCOMPARE(again->blinkPhase(), -1); // the cycle restarts in the shown phase
    QCOMPARE(cell(*again, 1)->text(), QStringLiteral("A"));
}

void TestPreview::closedByUserLeavesNoDanglingWindow()
{
    EditorStub editor;
    PreviewHolder holder;
    const QPointer<PreviewWindow> window = holder.open(DisplayType::OneByTwenty, editor);
    QVERIFY(window->close());
    QTRY_VERIFY(window.isNull());
    QCOMPARE(holder.window(), nullptr);
    QVERIFY(visiblePreviews().isEmpty());
    holder.closeAll(); // nothing open: nothing to do
    QVERIFY(holder.open(DisplayType::OneByTwenty, editor));
}

void TestPreview::holderClosesItsWindowWhenDestroyed()
{
    EditorStub editor;
    QPointer<PreviewWindow> window;
    {
        PreviewHolder holder;
        window = holder.open(DisplayType::TwoBySixteen, editor);
        QVERIFY(window->isVisible());
    }
    QVERIFY(window.isNull());
}

QTEST_MAIN(TestPreview)
#include "test_preview.moc"
