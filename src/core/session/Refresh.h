#pragma once

// One tick of the main window's periodic refresh, without the window: it writes
// the summary block and the empty-count cell, and says what the window must show
// and which mode initialisation the mode cell asks for.

#include "store/MemoryImage.h"
#include "store/SessionMode.h"

#include <QString>

namespace torsa {

struct RefreshTick {
    int tally = 0; // present slots 0 to 180
    // The initialisation the mode cell asks for (65: with PLC, 83: without);
    // None when it holds anything else and the mode in force stays.
    SessionMode requestedMode = SessionMode::None;
    // The mode in force once that initialisation has run: the count caption is
    // made with it.
    SessionMode modeAfter = SessionMode::None;
    QString statusCaption; // Etiquette3
    QString countCaption;  // Etiquette4
    QString listing;       // Texte2
};

namespace refresh {

// The tick, in its order: recount with the total of the mode in force, summary
// block, empty-count cell, then the captions and the listing from the image.
// Never changes a message slot.
RefreshTick tick(MemoryImage &image, SessionMode inForce);

// Cells 7980 to 7992: the present count as three ASCII digits, then "VALIDE KOR".
void writeSummary(MemoryImage &image, int tally);

} // namespace refresh
} // namespace torsa
