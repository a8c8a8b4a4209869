#pragma once

// The two kinds of message set, "Sans automate" (without PLC) and "Avec automate"
// (with PLC), plus the state before any session.

#include "AddressMap.h"

#include <QStringView>

namespace torsa {

enum class SessionMode { None, WithoutPlc, WithPlc };

namespace mode {

inline constexpr int kLastMessageWithoutPlc = 16;
inline constexpr int kLastMessageWithPlc = 180;
inline constexpr int kTotalWithoutPlc = 17;
inline constexpr int kTotalWithPlc = 181;

// Highest message number and highest priority of a mode (the same number).
constexpr int lastMessage(SessionMode m)
{
    return m == SessionMode::WithoutPlc ? kLastMessageWithoutPlc : kLastMessageWithPlc;
}

// The total of the empty count: 17 when "Sans automate" is in force, else 181
// (also before any session).
constexpr int total(SessionMode m)
{
    return m == SessionMode::WithoutPlc ? kTotalWithoutPlc : kTotalWithPlc;
}

constexpr int letter(SessionMode m)
{
    switch (m) {
    case SessionMode::WithPlc: return address::kModeLetterWithPlc;
    case SessionMode::WithoutPlc: return address::kModeLetterWithoutPlc;
    case SessionMode::None: break;
    }
    return 0;
}

// The name of a mode as the lists and the reports write it; empty for None.
constexpr QStringView name(SessionMode m)
{
    switch (m) {
    case SessionMode::WithPlc: return u"Avec automate";
    case SessionMode::WithoutPlc: return u"Sans automate";
    case SessionMode::None: break;
    }
    return {};
}

// The mode an image's mode cell asks for; None when the cell holds neither letter.
constexpr SessionMode fromLetter(int cell)
{
    if (cell == address::kModeLetterWithPlc)
        return SessionMode::WithPlc;
    if (cell == address::kModeLetterWithoutPlc)
        return SessionMode::WithoutPlc;
    return SessionMode::None;
}

} // namespace mode
} // namespace torsa
