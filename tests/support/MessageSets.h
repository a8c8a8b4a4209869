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
#include <vector>

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

// Messages at the limits of the coding, typed into a new session, then the tick.
inline MemoryImage limitSet(SessionMode mode)
{
    MemoryImage image = newSession(mode);
    const QString forty = QStringLiteral("0123456789").repeated(4);
    const std::vector<EditedMessage> messages{
        // 41 characters, one zone reaching position 40: character 41 blinks too.
        edited(0, 31, mode::lastMessage(mode), forty + u'X', {36, 37, 38, 39, 40}),
        // 42 characters, nothing blinking.
        edited(1, 0, 0, forty + QStringLiteral("XY")),
        // 40 characters blinking from 40: toggle, character, closing toggle, no end marker.
        edited(2, 5, 0, forty, {40}),
        // Blanks at both ends, separators and quotes.
        edited(3, 1, 3, QStringLiteral("  \"Pompe\"; arrêt  "), {1, 2, 3}),
        edited(4, 2, 0, QStringLiteral(" "), {1}),
        edited(5, 3, 0, QStringLiteral("§üéâäàçêëèïîôöòûù"), {2, 4, 6, 8, 10, 12, 14}),
        edited(mode::lastMessage(mode), 9, 1, QStringLiteral("Dernier"), {1, 2, 3, 4, 5, 6, 7}),
    };
    for (const EditedMessage &m : messages) {
        if (!type(image, mode, m))
            qFatal("limit message %d refused", m.number);
    }
    refreshTick(image, mode);
    return image;
}

} // namespace torsa::testing
