#pragma once

// What the editor shows again for a text typed and stored: the text itself,
// except for the Windows-1252 characters whose codes the unit uses for its own
// accented letters. Those are stored under their code and come back as the
// unit's letter (‚ is stored as 130 and shows as é, DEL as 127 and shows as §).
// The table is written out here on its own, apart from the store's, so that
// round-trip checks do not judge the store by itself.

#include <QList>
#include <QString>

#include <array>
#include <utility>

namespace torsa::testing {

// Typed character -> the character its stored code decodes to.
inline constexpr std::array<std::pair<char32_t, char32_t>, 17> kAliasedCharacters{{
    {U'\u007F', U'§'},  // DEL, stored as 127
    {U'\u0081', U'ü'},  // undefined in Windows-1252, taken as code 129
    {U'‚', U'é'},       // 130
    {U'ƒ', U'â'},       // 131
    {U'„', U'ä'},       // 132
    {U'…', U'à'},       // 133
    {U'‡', U'ç'},       // 135
    {U'ˆ', U'ê'},       // 136
    {U'‰', U'ë'},       // 137
    {U'Š', U'è'},       // 138
    {U'‹', U'ï'},       // 139
    {U'Œ', U'î'},       // 140
    {U'“', U'ô'},       // 147
    {U'”', U'ö'},       // 148
    {U'•', U'ò'},       // 149
    {U'–', U'û'},       // 150
    {U'—', U'ù'},       // 151
}};

inline char32_t shownCharacter(char32_t typed)
{
    for (const auto &[from, to] : kAliasedCharacters) {
        if (from == typed)
            return to;
    }
    return typed;
}

inline QString shownText(const QString &typed)
{
    QString shown;
    for (const char32_t ch : typed.toUcs4()) {
        const char32_t c = shownCharacter(ch);
        shown.append(QString::fromUcs4(&c, 1));
    }
    return shown;
}

} // namespace torsa::testing
