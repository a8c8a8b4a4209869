#pragma once

// What the editor shows again for a typed text: the text itself, except the
// Windows-1252 characters whose codes the unit uses for its own accented letters
// (‚ is stored as 130 and shows as é). Written out apart from the store's table,
// so that round trips do not judge the store by itself.

#include <QList>
#include <QString>

#include <array>
#include <utility>

namespace torsa::testing {

// Typed character -> the character its stored code decodes to.
inline constexpr std::array<std::pair<char32_t, char32_t>, 17> kAliasedCharacters{{
    {U'\u007F', U'§'}, // DEL, stored as 127
    {U'\u0081', U'ü'}, // undefined in Windows-1252, taken as code 129
    {U'‚', U'é'},      // 130
    {U'ƒ', U'â'},      // 131
    {U'„', U'ä'},      // 132
    {U'…', U'à'},      // 133
    {U'‡', U'ç'},      // 135
    {U'ˆ', U'ê'},      // 136
    {U'‰', U'ë'},      // 137
    {U'Š', U'è'},      // 138
    {U'‹', U'ï'},      // 139
    {U'Œ', U'î'},      // 140
    {U'“', U'ô'},      // 147
    {U'”', U'ö'},      // 148
    {U'•', U'ò'},      // 149
    {U'–', U'û'},      // 150
    {U'—', U'ù'},      // 151
}};

inline QString shownText(const QString &typed)
{
    QString shown;
    for (char32_t c : typed.toUcs4()) {
        for (const auto &[from, to] : kAliasedCharacters)
            c = c == from ? to : c;
        shown.append(QString::fromUcs4(&c, 1));
    }
    return shown;
}

} // namespace torsa::testing
