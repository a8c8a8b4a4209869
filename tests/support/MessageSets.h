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

inline EditedMessage edited(int number, int unit, int priority, const QString &text,
                            std::initializer_list<int> blinkingPositions = {})
{
    EditedMessage message{number, unit, priority, text, {}};
    for (const int position : blinkingPositions)
        message.blink.at(static_cast<std::size_t>(position - 1)) = true;
    return message;
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
