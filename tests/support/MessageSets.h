#pragma once

// Message sets made as the window makes them: a new session of a mode, messages
// typed through the rules of "Valider", then one tick of the periodic refresh,
// which is what a saved file holds.

#include "session/Refresh.h"
#include "store/CharCodes.h"
#include "store/MemoryImage.h"
#include "store/SessionMode.h"
#include "store/Validation.h"

#include <QString>

#include <initializer_list>

namespace torsa::testing {

// "Nouveau", Yes: every cell 0, then the mode letter.
inline MemoryImage newSession(SessionMode mode)
{
    MemoryImage image;
    image.set(address::kModeCell, mode::letter(mode));
    return image;
}

// The blink boxes ticked at those positions (1 to 40).
inline BlinkBoxes boxes(std::initializer_list<int> positions)
{
    BlinkBoxes ticked{};
    for (const int position : positions)
        ticked.at(static_cast<std::size_t>(position - 1)) = true;
    return ticked;
}

inline EditedMessage edited(int number, int unit, int priority, const QString &text,
                            std::initializer_list<int> blinkingPositions = {})
{
    return {number, unit, priority, text, boxes(blinkingPositions)};
}

// A text written with '.' for each blank, as a technician counts them.
inline QString dots(const char *text)
{
    return QString::fromUtf8(text).replace(u'.', u' ');
}

// "Valider": true when the message was accepted and stored.
inline bool type(MemoryImage &image, SessionMode mode, const EditedMessage &message)
{
    if (!validation::check(image, message).accepted() || message.text.isEmpty())
        return false;
    validation::store(image, message);
    recount(image, mode);
    return true;
}

inline void refreshTick(MemoryImage &image, SessionMode mode)
{
    refresh::tick(image, mode);
}

} // namespace torsa::testing
