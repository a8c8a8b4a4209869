#include "Console.h"

#include <io.h>
#include <windows.h>

namespace torsa::cli::console {

namespace {

// The console behind the stream; null for a file, a pipe or no stream at all.
HANDLE consoleOf(std::FILE *stream)
{
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream)));
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr || GetConsoleMode(handle, &mode) == 0)
        return nullptr;
    return handle;
}

} // namespace

bool isConsole(std::FILE *stream)
{
    return consoleOf(stream) != nullptr;
}

bool writeText(std::FILE *stream, const QString &text)
{
    const HANDLE console = consoleOf(stream);
    if (console == nullptr || std::fflush(stream) != 0)
        return false;
    // WriteConsoleW may take a long text in parts.
    const auto *next = reinterpret_cast<const wchar_t *>(text.utf16());
    qsizetype left = text.size();
    while (left > 0) {
        constexpr qsizetype kLargestPart = 16384;
        DWORD written = 0;
        // (windows.h makes min a macro.)
        const auto part = static_cast<DWORD>(left < kLargestPart ? left : kLargestPart);
        if (WriteConsoleW(console, next, part, &written, nullptr) == 0 || written == 0)
            return false;
        next += written;
        left -= written;
    }
    return true;
}

bool isTerminal(std::FILE *stream)
{
    return isConsole(stream);
}

bool enableEscapeSequences(std::FILE *stream)
{
    const HANDLE console = consoleOf(stream);
    DWORD mode = 0;
    if (console == nullptr || GetConsoleMode(console, &mode) == 0)
        return false;
    return (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0
        || SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

Size terminalSize(std::FILE *stream)
{
    const HANDLE console = consoleOf(stream);
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (console == nullptr || GetConsoleScreenBufferInfo(console, &info) == 0)
        return {};
    return {info.srWindow.Right - info.srWindow.Left + 1, info.srWindow.Bottom - info.srWindow.Top + 1};
}

} // namespace torsa::cli::console
