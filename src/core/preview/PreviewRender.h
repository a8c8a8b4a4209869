#pragma once

// What a preview shows at one tick, apart from any window: the editor text cut
// to the 40 positions that have a blink box, and the 40 cell texts.

#include "store/BlinkCoding.h"

#include <QString>

#include <array>

namespace torsa::preview {

inline constexpr int kCellCount = kBlinkBoxCount; // one cell per character position 1 to 40

// Cell i (1 to 40) at index i - 1.
using CellTexts = std::array<QString, kCellCount>;

// The first 40 characters of text (all of it when shorter).
QString limit(const QString &text);

// Cell i holds character i of text; it is empty past the end of the text, and
// also in the hidden phase (shown == false) when box i is ticked.
CellTexts render(const QString &text, const BlinkBoxes &blink, bool shown);

} // namespace torsa::preview
