#pragma once

// "Valider": the four rules a typed message must meet, in their order, and the
// writing of an accepted message into its slot.

#include "BlinkCoding.h"
#include "MemoryImage.h"
#include "SessionMode.h"

#include <QString>

namespace torsa {

struct EditedMessage {
    int number = 0;
    int unit = 0;
    int priority = 0;
    QString text;
    BlinkBoxes blink{};
};

enum class Refusal {
    None,
    TooManyBlinkZones,   // length plus toggles above 42
    PriorityInUse,       // another slot 0 to 181 has the same non-zero priority
    CharacterBelowSpace, // a character with a code below 32
    CharacterAboveRange, // a code above 159 after translation, or no Windows-1252 code
};

struct Verdict {
    Refusal refusal = Refusal::None;
    int otherMessage = 0; // PriorityInUse: the first slot holding the priority
    char32_t code = 0;    // CharacterAboveRange: the code shown in the message

    bool accepted() const { return refusal == Refusal::None; }
};

namespace validation {

// Checks every rule, in order, without writing anything.
Verdict check(const MemoryImage &image, const EditedMessage &message);

// Writes an accepted, non-empty message into its slot: text cells with toggles and
// end marker, unit cell, priority cell. Cells after the end marker keep their values.
void store(MemoryImage &image, const EditedMessage &message);

// The French text of a refusal, lines separated by LF CR.
QString refusalText(const Verdict &verdict);

// Number the editor shows after "Valider": the next one, but never past the mode's last.
int nextMessageNumber(int current, SessionMode mode);

} // namespace validation

// Counts the present slots and stores the mode's total minus that count into the
// empty-count cell. Returns the count (the message tally).
int recount(MemoryImage &image, SessionMode mode);

} // namespace torsa
