#include "PreviewLayout.h"

#include <utility>

namespace torsa::preview {
namespace {

constexpr QRect kOneLineFrame(120, 240, 9855, 735);
constexpr QRect kTwoBySixteenFrame(120, 120, 4095, 1215);
constexpr QRect kTwoByTwentyFrame(120, 120, 5055, 1215);

constexpr int kCellWidth = 255;
constexpr int kCellHeight = 495;
constexpr int kThirdRowHeight = 375;
constexpr int kColumnPitch = 240;
constexpr int kFirstColumnLeft = 240;

constexpr int kOneLineTop = 360;
constexpr int kLine1Top = 240;
constexpr int kLine2Top = 720;
constexpr int kThirdRowTop = 1320;
constexpr int kThirdRowFirstColumn = 5; // cells 33 to 40 in columns 5 to 12

constexpr int kMarkerBottom = 1320;
constexpr int kArrowHalfWidth = 120;
constexpr int kArrowTipAbove = 240;
constexpr int kArrowBaseBelow = 1200;
constexpr int kArrowTipBelow = 960;
constexpr int kFootLength = 240;
constexpr int kCaptionOffset = 360;
constexpr int kCaptionTop = 1200;
constexpr int kCaptionWidth = 1815;
constexpr int kCaptionHeight = 255;

constexpr int columnLeft(int column)
{
    return kFirstColumnLeft + kColumnPitch * (column - 1);
}

QRect cellAt(int column, int top, int height = kCellHeight)
{
    return {columnLeft(column), top, kCellWidth, height};
}

LimitMarker markerAt(int x)
{
    LimitMarker marker;
    marker.boundary = x;
    marker.lines = {
        QLine(x, 0, x, kMarkerBottom),
        QLine(x, kMarkerBottom, x + kFootLength, kMarkerBottom),
        QLine(x - kArrowHalfWidth, 0, x, kArrowTipAbove),
        QLine(x + kArrowHalfWidth, 0, x, kArrowTipAbove),
        QLine(x - kArrowHalfWidth, kArrowBaseBelow, x, kArrowTipBelow),
        QLine(x + kArrowHalfWidth, kArrowBaseBelow, x, kArrowTipBelow),
    };
    marker.caption = QRect(x + kCaptionOffset, kCaptionTop, kCaptionWidth, kCaptionHeight);
    return marker;
}

PreviewLayout oneLine(DisplayType type, QString name, QString caption, QSize client)
{
    PreviewLayout layout{type, std::move(name), std::move(caption), client, {}, kOneLineFrame, {}};
    for (int i = 1; i <= kCellCount; ++i)
        layout.cells[static_cast<std::size_t>(i - 1)] = cellAt(i, kOneLineTop);
    // The boundary falls between the last cell of the display and the next one.
    layout.marker = markerAt(columnLeft(display::width(type) + 1));
    return layout;
}

PreviewLayout twoLines(DisplayType type, QString name, QString caption, QSize client, QRect frame)
{
    PreviewLayout layout{type, std::move(name), std::move(caption), client, {}, frame, {}};
    const int w = display::width(type);
    for (int i = 1; i <= kCellCount; ++i) {
        QRect cell;
        if (i <= w)
            cell = cellAt(i, kLine1Top);
        else if (i <= 2 * w)
            cell = cellAt(i - w, kLine2Top);
        else
            cell = cellAt(kThirdRowFirstColumn + i - 2 * w - 1, kThirdRowTop, kThirdRowHeight);
        layout.cells[static_cast<std::size_t>(i - 1)] = cell;
    }
    return layout;
}

} // namespace

PreviewLayout layoutOf(DisplayType type)
{
    switch (type) {
    case DisplayType::OneBySixteen:
        return oneLine(type, QStringLiteral("V116"), QStringLiteral("Visualisation sur afficheur 1 fois 16 caractères"),
                       {10125, 1500});
    case DisplayType::OneByTwenty:
        return oneLine(type, QStringLiteral("V120"), QStringLiteral("Visualisation sur afficheur 1 fois 20 caractères"),
                       {10155, 1470});
    case DisplayType::TwoBySixteen:
        return twoLines(type, QStringLiteral("V216"),
                        QStringLiteral("Visualisation sur afficheur 2 fois 16 caractères"), {4395, 1515},
                        kTwoBySixteenFrame);
    case DisplayType::TwoByTwenty:
    case DisplayType::None: break;
    }
    return twoLines(DisplayType::TwoByTwenty, QStringLiteral("V220"),
                    QStringLiteral("Visualisation sur afficheur 2 fois 20 caractères"), {5325, 1500},
                    kTwoByTwentyFrame);
}

bool onDisplay(DisplayType type, int cell)
{
    return cell >= 1 && cell <= display::width(type) * display::lines(type);
}

QString limitCaption()
{
    return QStringLiteral("Limite de défilement");
}

QString rulerDigit(int cell)
{
    return QString::number(cell % 10);
}

} // namespace torsa::preview
