#include "PreviewWindow.h"

#include "LimitMarker.h"
#include "PreviewLayout.h"
#include "editor/Twips.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QPalette>
#include <QTimer>

namespace torsa {
namespace {

const QString kCellFamily = QStringLiteral("Courier New");
const QString kCaptionFamily = QStringLiteral("MS Sans Serif");
constexpr double kCaptionPoints = 9.75;

// A yellow-green character LCD in a dark bezel: the glass inside the frame,
// each character position a slightly darker block, dark dots for characters.
const QColor kBezel(0x26, 0x2a, 0x22);
const QColor kMarkerColour(0xff, 0x6a, 0x3d);
const QString kGlassStyle = QStringLiteral(
    "QFrame { background-color: #a9c55a; border: 3px solid #4d5c27; border-radius: 4px; }");
const QString kCellStyle = QStringLiteral(
    "QLabel { background-color: #97b446; color: #16200a; border: 1px solid #a9c55a; }");
// Positions past the end of a one-line display: scrolled in by the unit, not on
// its glass at once, so drawn duller.
const QString kBeyondStyle = QStringLiteral(
    "QLabel { background-color: #8b9a62; color: #3a4426; border: 1px solid #a9c55a; }");
const QString kCaptionStyle = QStringLiteral("QLabel { color: #ffd2bd; }");

QRect pixels(const QRect &twipsRect)
{
    return twips::rect(twipsRect.x(), twipsRect.y(), twipsRect.width(), twipsRect.height());
}

QLine pixels(const QLine &line)
{
    return {twips::toPixels(line.x1()), twips::toPixels(line.y1()),
            twips::toPixels(line.x2()), twips::toPixels(line.y2())};
}

} // namespace

PreviewWindow::PreviewWindow(DisplayType type, PreviewSource &source)
    : QWidget(nullptr), type_(type), source_(source)
{
    const preview::PreviewLayout layout = preview::layoutOf(type);
    setObjectName(layout.objectName);
    setWindowTitle(layout.caption);
    setAttribute(Qt::WA_DeleteOnClose);
    // Closing the main window ends the program even while a preview is open.
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(pixels(QRect(QPoint(0, 0), layout.client)).size());

    QPalette bezel = palette();
    bezel.setColor(QPalette::Window, kBezel);
    setPalette(bezel);
    setAutoFillBackground(true);

    Shape1 = new QFrame(this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setGeometry(pixels(layout.frame));
    Shape1->setStyleSheet(kGlassStyle);

    const QFont cellFont = twips::font(kCellFamily, preview::kCellFontPoints, true);
    for (int i = 1; i <= preview::kCellCount; ++i) {
        auto *cell = new QLabel(this);
        cell->setObjectName(QStringLiteral("Label%1").arg(i));
        cell->setGeometry(pixels(layout.cells[static_cast<std::size_t>(i - 1)]));
        cell->setFont(cellFont);
        cell->setAlignment(Qt::AlignCenter);
        cell->setStyleSheet(preview::onDisplay(type, i) ? kCellStyle : kBeyondStyle);
        // Positions 33 to 40 of the 2 x 16 display have no place on its glass;
        // their row lies mostly outside the window, so it is not drawn.
        if (display::lines(type) == 2 && !preview::onDisplay(type, i))
            cell->hide();
        Label[static_cast<std::size_t>(i - 1)] = cell;
    }

    if (layout.marker) {
        std::array<QLine, 6> lines;
        for (std::size_t k = 0; k < lines.size(); ++k)
            lines[k] = pixels(layout.marker->lines[k]);
        marker_ = new LimitMarker(lines, kMarkerColour, this);
        marker_->setObjectName(QStringLiteral("LimitMarker"));
        marker_->setGeometry(rect());
        marker_->raise();

        Label41 = new QLabel(preview::limitCaption(), this);
        Label41->setObjectName(QStringLiteral("Label41"));
        Label41->setGeometry(pixels(layout.marker->caption));
        Label41->setFont(twips::font(kCaptionFamily, kCaptionPoints, false));
        Label41->setStyleSheet(kCaptionStyle);
    }

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(preview::kTickMilliseconds);
    connect(Timer1, &QTimer::timeout, this, &PreviewWindow::Timer1_Timer);

    Form_Load();
}

PreviewWindow::~PreviewWindow() = default;

void PreviewWindow::Form_Load()
{
    PHASE_CLI = 0;
    showRuler();
    Timer1->start();
}

void PreviewWindow::closeEvent(QCloseEvent *event)
{
    // The window is only deleted later: it must not cut the editor text meanwhile.
    Timer1->stop();
    QWidget::closeEvent(event);
}

void PreviewWindow::showRuler()
{
    for (int i = 1; i <= preview::kCellCount; ++i)
        Label[static_cast<std::size_t>(i - 1)]->setText(preview::rulerDigit(i));
}

void PreviewWindow::Timer1_Timer()
{
    PHASE_CLI = ~PHASE_CLI;

    // Writing the text back resets the text box's cursor and undo, so it is
    // written only when something was cut.
    const QString text = source_.editorText();
    const QString limited = preview::limit(text);
    if (limited.size() != text.size())
        source_.setEditorText(limited);

    const preview::CellTexts cells = preview::render(limited, source_.blinkBoxes(), PHASE_CLI != 0);
    for (std::size_t i = 0; i < cells.size(); ++i)
        Label[i]->setText(cells[i]);
}

} // namespace torsa
