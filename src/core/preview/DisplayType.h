#pragma once

// The four character displays the unit can carry, and "none chosen yet".
// The main window holds the choice only as the check mark of one of its four
// "&Affichage" items; this type names that choice.

namespace torsa {

enum class DisplayType { None, OneBySixteen, OneByTwenty, TwoBySixteen, TwoByTwenty };

namespace display {

inline constexpr int kNarrowWidth = 16;
inline constexpr int kWideWidth = 20;

// Characters per line; 0 when no display is chosen.
constexpr int width(DisplayType type)
{
    switch (type) {
    case DisplayType::OneBySixteen:
    case DisplayType::TwoBySixteen: return kNarrowWidth;
    case DisplayType::OneByTwenty:
    case DisplayType::TwoByTwenty: return kWideWidth;
    case DisplayType::None: break;
    }
    return 0;
}

// Lines of the display; 0 when no display is chosen.
constexpr int lines(DisplayType type)
{
    switch (type) {
    case DisplayType::OneBySixteen:
    case DisplayType::OneByTwenty: return 1;
    case DisplayType::TwoBySixteen:
    case DisplayType::TwoByTwenty: return 2;
    case DisplayType::None: break;
    }
    return 0;
}

} // namespace display
} // namespace torsa
