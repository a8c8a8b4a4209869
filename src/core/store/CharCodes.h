#pragma once

// Character coding of message texts. A character is taken by its Windows-1252
// code; seventeen accented letters and the section sign are moved to the unit's
// own codes below 160, everything else keeps its Windows-1252 code.

#include <QString>

#include <optional>

namespace torsa::charcodes {

inline constexpr int kFirstStoredCode = 32; // below: control values, never characters
inline constexpr int kLastStoredCode = 159; // above: not on the unit's display

// Windows-1252 code of a Unicode character, or nullopt when it has none. The five
// codes that Windows-1252 leaves undefined (129, 141, 143, 144, 157) stand for
// U+0081, U+008D, U+008F, U+0090, U+009D, as the platform's code page conversion has it.
std::optional<int> windows1252Code(char32_t ch);

// The Unicode character of a Windows-1252 code 0 to 255.
char32_t fromWindows1252(int code);

// Windows-1252 code to device code (table applied, others unchanged), and back.
int toDevice(int windows1252);
int fromDevice(int device);

// The character a stored cell value stands for (device table reversed, then Windows-1252).
char32_t deviceCharacter(int device);

// Texts count characters as Unicode code points, so that a character outside the
// Basic Multilingual Plane is one character, as a technician sees it.
qsizetype characterCount(const QString &text);
QString firstCharacters(const QString &text, qsizetype count);

} // namespace torsa::charcodes
