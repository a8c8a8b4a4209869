#include "Console.h"

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

} // namespace torsa::cli::console
