#pragma once

// A message set as a list of rows, one per present message, for a spreadsheet:
// what the editor's controls hold when "Valider" stores the message, with the
// blink boxes written as a mask under the text.

#include "store/BlinkCoding.h"
#include "store/MemoryImage.h"
#include "store/SessionMode.h"

#include <QString>
#include <QStringView>

#include <vector>

namespace torsa {

struct ListedMessage {
    int number = 0;
    QString text;
    int unit = 0;
    int priority = 0;
    // One character per character of the text: ' ' steady, '^' blinking.
    QString blinkMask;

    friend bool operator==(const ListedMessage &, const ListedMessage &) = default;
};

struct MessageList {
    SessionMode mode = SessionMode::None; // from the mode cell
    std::vector<ListedMessage> messages;  // in number order
};

namespace messagelist {

inline constexpr QChar kSteady = u' ';
inline constexpr QChar kBlinking = u'^';

// The mode of the mode cell and the present messages 0 to 180, in number order,
// each with its decoded text and its blink flags as a mask of the text's length.
MessageList fromImage(const MemoryImage &image);

// The mask of a text of `length` characters from its decoded blink flags.
QString blinkMask(const BlinkFlags &flags, qsizetype length);

// The French name of a mode as the "Nouveau" menu shows it.
QString modeName(SessionMode mode);

} // namespace messagelist
} // namespace torsa
