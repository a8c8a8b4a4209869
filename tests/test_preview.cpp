// The display preview apart from the main window: the 40-character limit, the
// cells at each blink phase, the four windows and their tick.

#include "preview/PreviewWindow.h"

#include <QFontMetrics>
#include <QLabel>
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

// The 40 cells of text, one character each, empty past its end.
QStringList expectedCells(const QString &text)
{
    QStringList cells;
    for (int i = 0; i < preview::kCellCount; ++i)
        cells << (i < text.size() ? text.mid(i, 1) : QString());
    return cells;
}

QStringList cellTexts(const QWidget &window)
{
    QStringList texts;
    for (int i = 1; i <= preview::kCellCount; ++i)
        texts << cell(window, i)->text();
    return texts;
}

const QString kClef = QString::fromUcs4(U"\U0001D11E");

} // namespace

Q_DECLARE_METATYPE(DisplayType)

class TestPreview : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void limit_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        const QString forty = QString(39, u'a') + u'b';
        QTest::newRow("40") << forty << forty;
        QTest::newRow("41") << forty + u'X' << forty;
        QTest::newRow("42 trailing spaces") << forty + QStringLiteral("  ") << forty;
        // A character outside the Basic Multilingual Plane is one character.
        QTest::newRow("wide 40th") << forty.left(39) + kClef + u'X' << forty.left(39) + kClef;
    }

    void limit()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(preview::limit(text), expected);
    }

    void render_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<BlinkBoxes>("boxes");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QStringList>("expected");
        QStringList hiddenBC = expectedCells(QStringLiteral("ABCD"));
        hiddenBC[1].clear();
        hiddenBC[2].clear();
        QStringList wide = expectedCells(QStringLiteral("AxB"));
        wide[1] = kClef;
        QTest::newRow("blinking, shown") << QStringLiteral("ABCD") << boxesAt({2, 3}) << true
                                         << expectedCells(QStringLiteral("ABCD"));
        QTest::newRow("blinking, hidden") << QStringLiteral("ABCD") << boxesAt({2, 3}) << false << hiddenBC;
        QTest::newRow("boxes past the end, hidden") << QStringLiteral("AB") << boxesAt({3, 4, 40}) << false
                                                    << expectedCells(QStringLiteral("AB"));
        QTest::newRow("wide character is one cell") << QStringLiteral("A") + kClef + u'B' << BlinkBoxes{} << true << wide;
    }

    void render()
    {
        QFETCH(QString, text);
        QFETCH(BlinkBoxes, boxes);
        QFETCH(bool, shown);
        QFETCH(QStringList, expected);
        const preview::CellTexts cells = preview::render(text, boxes, shown);
        QCOMPARE(QStringList(cells.begin(), cells.end()), expected);
    }

    void displayWindow_data()
    {
        QTest::addColumn<DisplayType>("type");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("boundary"); // x where a one-line display ends; 0: two lines
        const QString caption = QStringLiteral("Visualisation sur afficheur %1 fois %2 caractères");
        QTest::newRow("1x16") << DisplayType::OneBySixteen << QStringLiteral("V116") << caption.arg(1).arg(16) << 272;
        QTest::newRow("1x20") << DisplayType::OneByTwenty << QStringLiteral("V120") << caption.arg(1).arg(20) << 336;
        QTest::newRow("2x16") << DisplayType::TwoBySixteen << QStringLiteral("V216") << caption.arg(2).arg(16) << 0;
        QTest::newRow("2x20") << DisplayType::TwoByTwenty << QStringLiteral("V220") << caption.arg(2).arg(20) << 0;
    }

    void displayWindow()
    {
        QFETCH(DisplayType, type);
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(int, boundary);
        EditorStub editor;
        PreviewWindow window(type, editor);
        window.show();
        QCOMPARE(window.objectName(), name);
        QCOMPARE(window.windowTitle(), caption);
        // No owner, not modal: the main window stays usable.
        QCOMPARE(window.parentWidget(), nullptr);
        QCOMPARE(window.windowModality(), Qt::NonModal);
        const auto *timer = window.findChild<QTimer *>(QStringLiteral("Timer1"));
        QCOMPARE(timer->interval(), 500);
        QVERIFY(timer->isActive());

        // The cells of the display stand inside its frame, line 2 under line 1.
        const QRect frame = window.findChild<QWidget *>(QStringLiteral("Shape1"))->geometry();
        const int width = display::width(type);
        for (int i = 1; i <= width * display::lines(type); ++i)
            QVERIFY2(frame.contains(cell(window, i)->geometry()), qPrintable(QString::number(i)));
        auto *marker = window.findChild<QLabel *>(QStringLiteral("Label41"));
        if (boundary == 0) {
            QCOMPARE(cell(window, width + 1)->x(), cell(window, 1)->x());
            QVERIFY(cell(window, width + 1)->y() > cell(window, 1)->y());
            QCOMPARE(marker, nullptr);
            return;
        }
        // The marker stands between the last cell of the display and the next one,
        // its caption readable whole.
        QCOMPARE(cell(window, width + 1)->x(), boundary);
        QVERIFY(cell(window, width)->geometry().right() <= boundary);
        QVERIFY(marker);
        QCOMPARE(marker->text(), QStringLiteral("Limite de défilement"));
        QVERIFY(QFontMetrics(marker->font()).horizontalAdvance(marker->text()) <= marker->width());
    }

    // Until its first tick a preview shows a ruler; each tick then shows the next
    // blink phase, the shown one first.
    void tick()
    {
        EditorStub editor;
        editor.text = QString(40, u'A');
        editor.boxes = boxesAt({1});
        PreviewWindow window(DisplayType::TwoBySixteen, editor);
        QStringList ruler;
        for (int i = 1; i <= preview::kCellCount; ++i)
            ruler << QString::number(i % 10);
        QCOMPARE(cellTexts(window), ruler);
        QCOMPARE(window.blinkPhase(), 0);
        window.Timer1_Timer();
        QCOMPARE(window.blinkPhase(), -1);
        QCOMPARE(cellTexts(window), expectedCells(editor.text));
        QCOMPARE(editor.writes, 0); // a text of 40 is left alone (cursor and undo kept)
        window.Timer1_Timer();
        QCOMPARE(window.blinkPhase(), 0);
        QCOMPARE(cell(window, 1)->text(), QString());
        QCOMPARE(cell(window, 2)->text(), QStringLiteral("A"));
        // Characters 33 to 40 of the 2 x 16 display never reach lines 1 and 2.
        QVERIFY(!cell(window, 33)->isVisibleTo(&window));
    }
};

QTEST_MAIN(TestPreview)
#include "test_preview.moc"
