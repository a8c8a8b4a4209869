#pragma once

// The status line under the editor and the reports of an image taken in whole,
// opened from a production file or read from the unit: one home for their texts.
// The mode and count lines come in named variants, each kept as the unit's
// programming tool has always written it.

#include "store/LineEnds.h"
#include "store/MemoryImage.h"
#include "store/SessionMode.h"

#include <QString>
#include <QStringView>

namespace torsa {

struct OpenReport {
    // The mode initialisation to run; None when the mode cell holds neither letter.
    SessionMode requestedMode = SessionMode::None;
    int tally = 0; // the message tally takes the empty-count cell's value
    QString text;  // lines ended by LF CR; the success line is not part of it
};

namespace reports {

inline constexpr QStringView kHeader = u"Centrale de défauts :";
inline constexpr QStringView kReadSuccess = u"Lecture terminée avec succés !";
inline constexpr QStringView kNoSession = u" Aucun message";
inline constexpr QStringView kEmptyPlural = u" messages vides.";
inline constexpr QStringView kEmptySingular = u" message vide.  ";

// "Avec automate." or "Sans automate." for the mode letter of the cell; empty for
// any other value.
QString modeLine(int modeCell);

// Etiquette3: the header, then the mode line followed by two blanks.
QString statusCaption(int modeCell);

// The count and its words: plural above 1, singular (two blanks after) for 1 and below.
QString emptyCount(int count);

// Etiquette4: the count for the mode in force; " Aucun message" before any session.
QString countCaption(int emptyCount, SessionMode mode);

// After opening a production file: header, mode line, the count always plural.
OpenReport forOpenedImage(const MemoryImage &image);
// That report followed by the success line.
QString openedMessage(const OpenReport &report);

// After reading the unit: header, mode line, the count, and the success line
// right behind it.
QString readingReport(const MemoryImage &image);

} // namespace reports
} // namespace torsa
