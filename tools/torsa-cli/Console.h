#pragma once

// What differs between platforms in writing to stdout and stderr. Each
// platform has its own source file (Console_linux.cpp, Console_windows.cpp),
// chosen by the build.
//
// A Windows console shows bytes in its code page (850, 437, 1252), not UTF-8:
// texts go to it as UTF-16 text instead, while a file or a pipe gets the UTF-8
// bytes. A Linux terminal takes the UTF-8 bytes as they are.

#include <QString>

#include <cstdio>

namespace torsa::cli::console {

// Whether the stream is a console that takes text rather than bytes.
bool isConsole(std::FILE *stream);
// Writes the text whole to such a console; false when it did not take it.
bool writeText(std::FILE *stream, const QString &text);

// Whether a person watches the stream (a terminal or a console).
bool isTerminal(std::FILE *stream);
// Lets the terminal interpret escape sequences (cursor moves, line erasing);
// false when it refuses.
bool enableEscapeSequences(std::FILE *stream);

// The columns and rows of the terminal behind the stream, read anew at each
// call (the user may resize it); 0 and 0 when unknown.
struct Size {
    int columns = 0;
    int rows = 0;
};
Size terminalSize(std::FILE *stream);

} // namespace torsa::cli::console
