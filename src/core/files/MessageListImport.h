#pragma once

// Building a production file from a message list: the rows are typed, in their
// order, into a new session of the list's mode, each through the rules of
// "Valider", and the periodic refresh then runs once, as it does before any save.
// A row that "Valider" refuses is not stored, exactly as in the window, so the
// priority rule sees the rows stored before it.

#include "CsvRecords.h"
#include "store/BlinkCoding.h"
#include "store/MemoryImage.h"
#include "store/SessionMode.h"

#include <QString>
#include <QStringView>

#include <span>
#include <vector>

namespace torsa {

struct RowRefusal {
    int row = 0; // the spreadsheet's row number, which is the line in the file
    // French. The texts of "Valider" keep their lines separated by LF CR.
    QString text;

    friend bool operator==(const RowRefusal &, const RowRefusal &) = default;
};

struct ImportResult {
    MemoryImage image;                // the session with every accepted row stored
    std::vector<RowRefusal> refusals; // every refusal, in row order
    int storedCount = 0;

    bool accepted() const { return refusals.empty(); }
};

struct MaskReading {
    BlinkBoxes boxes{};
    QString problem; // empty when the mask is sound
};

namespace messagelist {

ImportResult importRows(SessionMode mode, std::span<const csv::Record> rows);

// The blink boxes a mask ticks. Positions 41 and 42 have no box: they blink when
// position 40 does, so a mask may mark them only in agreement with position 40.
MaskReading boxesFromMask(QStringView mask, qsizetype textLength);

} // namespace messagelist
} // namespace torsa
