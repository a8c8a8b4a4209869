#pragma once

// Design of the four preview windows, in twips as the designs are drawn.

#include "DisplayType.h"
#include "PreviewRender.h"

#include <QLine>
#include <QRect>
#include <QSize>
#include <QString>

#include <array>
#include <optional>

namespace torsa::preview {

inline constexpr int kCellFontPoints = 18;
inline constexpr int kTickMilliseconds = 500;

// The marker of a one-line display: where its 16 or 20 characters end inside
// the row of 40 cells (Line1 to Line6 and the caption Label41).
struct LimitMarker {
    int boundary = 0;           // x of the end of the physical display
    std::array<QLine, 6> lines; // Line1 to Line6
    QRect caption;              // Label41
};

struct PreviewLayout {
    DisplayType type = DisplayType::None;
    QString objectName; // V116, V120, V216, V220
    QString caption;
    QSize client;
    std::array<QRect, kCellCount> cells; // Label1 to Label40
    QRect frame;                         // Shape1, around the cells of the physical display
    std::optional<LimitMarker> marker;   // one-line displays only
};

// The design of a display's window. None gives the 2 x 20 window.
PreviewLayout layoutOf(DisplayType type);

// True for cells that stand on the physical display (inside the frame's lines).
bool onDisplay(DisplayType type, int cell);

// The caption "Limite de défilement" of the marker.
QString limitCaption();

// Design-time caption of cell i (1 to 40): the last digit of i.
QString rulerDigit(int cell);

} // namespace torsa::preview
