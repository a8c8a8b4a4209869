#pragma once

// What a message list cannot carry. A list holds the mode and the present
// messages; importing it rebuilds every other cell as a new session and the
// periodic refresh make them. Cells of a file that differ from that rebuilt image
// (leftovers of a longer text after an end marker, data in absent slots or in
// the unit's free cells, a summary block saved before the refresh ran, a message
// that "Valider" would refuse) do not survive a round trip.

#include "store/MemoryImage.h"

#include <QString>

#include <vector>

namespace torsa {

struct LostCells {
    int first = 0;
    int last = 0;
    QString where; // French: which part of the image the cells belong to

    friend bool operator==(const LostCells &, const LostCells &) = default;
};

namespace messagelist {

// The cells where `file` differs from `imported`, the image its list imports to,
// in runs of neighbouring cells of the same part.
std::vector<LostCells> lostCells(const MemoryImage &file, const MemoryImage &imported);

// "cellules 360 à 371 : ..." (or "cellule 8191 : ...").
QString describe(const LostCells &cells);

} // namespace messagelist
} // namespace torsa
