#include "Console.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace torsa::cli::console {

bool isConsole(std::FILE * /*stream*/)
{
    return false;
}

bool writeText(std::FILE * /*stream*/, const QString & /*text*/)
{
    return false;
}

bool isTerminal(std::FILE *stream)
{
    return ::isatty(::fileno(stream)) == 1;
}

bool enableEscapeSequences(std::FILE * /*stream*/)
{
    return true;
}

Size terminalSize(std::FILE *stream)
{
    winsize size{};
    if (::ioctl(::fileno(stream), TIOCGWINSZ, &size) != 0)
        return {};
    return {size.ws_col, size.ws_row};
}

} // namespace torsa::cli::console
