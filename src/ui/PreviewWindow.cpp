#include "PreviewWindow.h"

#include "LimitMarker.h"
#include "Twips.h"
#include "preview/PreviewLayout.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QPalette>
#include <QTimer>

namespace torsa {
namespace {

constexpr double kCaptionPoints = 9.75;

// A yellow-green character LCD in a dark bezel: the glass inside the frame,
// each character position a slightly darker block, dark dots for characters.
const QColor kBezel(0x26, 0x2a, 0x22);
const QColor kMarkerColour(0xff, 0x6a, 0x3d);
const QString kGlassStyle =
    QStringLiteral("QFrame { background-color: #a9c55a; border: 3px solid #4d5c27; border-radius: 4px; }");
const QString kCellStyle =
    QStringLiteral("QLabel { background-color: #97b446; color: #16200a; border: 1px solid #a9c55a; }");
// Positions past the end of a one-line display: scrolled in by the unit, not on
// its glass at once, so drawn duller.
const QString kBeyondStyle =
    QStringLiteral("QLabel { background-color: #8b9a62; color: #3a4426; border: 1px solid #a9c55a; }");
const QString kCaptionStyle = QStringLiteral("QLabel { color: #ffd2bd; }");

QRect pixels(const QRect &twipsRect)
{
    return twips::rect(twipsRect.x(), twipsRect.y(), twipsRect.width(), twipsRect.height());
}

QLine pixels(const QLine &line)
{
    return {twips::toPixels(line.x1()), twips::toPixels(line.y1()), twips::toPixels(line.x2()),
            twips::toPixels(line.y2())};
}

} // namespace

PreviewWindow::PreviewWindow(DisplayType type, PreviewSource &source) : QWidget(nullptr), type_(type), source_(source)
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

    auto *frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Shape1"));
    frame->setGeometry(pixels(layout.frame));
    frame->setStyleSheet(kGlassStyle);

    const QFont cellFont = twips::fixedFont(preview::kCellFontPoints, true);
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
        cells_[static_cast<std::size_t>(i - 1)] = cell;
    }

    if (layout.marker) {
        std::array<QLine, 6> lines;
        for (std::size_t k = 0; k < lines.size(); ++k)
            lines[k] = pixels(layout.marker->lines[k]);
        auto *marker = new LimitMarker(lines, kMarkerColour, this);
        marker->setObjectName(QStringLiteral("LimitMarker"));
        marker->setGeometry(rect());
        marker->raise();

        auto *caption = new QLabel(preview::limitCaption(), this);
        caption->setObjectName(QStringLiteral("Label41"));
        caption->setGeometry(pixels(layout.marker->caption));
        caption->setFont(twips::captionFont(kCaptionPoints, false));
        caption->setStyleSheet(kCaptionStyle);
    }

    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("Timer1"));
    timer_->setInterval(preview::kTickMilliseconds);
    connect(timer_, &QTimer::timeout, this, &PreviewWindow::tick);

    // Loaded: phase 0, the design's ruler until the first tick.
    phase_ = 0;
    showRuler();
    timer_->start();
}

PreviewWindow::~PreviewWindow() = default;

void PreviewWindow::closeEvent(QCloseEvent *event)
{
    // The window is only deleted later: it must not cut the editor text meanwhile.
    timer_->stop();
    QWidget::closeEvent(event);
}

void PreviewWindow::showRuler()
{
    for (int i = 1; i <= preview::kCellCount; ++i)
        cells_[static_cast<std::size_t>(i - 1)]->setText(preview::rulerDigit(i));
}

void PreviewWindow::tick()
{
    phase_ = ~phase_;

    // Writing the text back resets the text box's cursor and undo, so it is
    // written only when something was cut.
    const QString text = source_.editorText();
    const QString limited = preview::limit(text);
    if (limited.size() != text.size())
        source_.setEditorText(limited);

    const preview::CellTexts cells = preview::render(limited, source_.blinkBoxes(), phase_ != 0);
    for (std::size_t i = 0; i < cells.size(); ++i)
        cells_[i]->setText(cells[i]);
}

} // namespace torsa
