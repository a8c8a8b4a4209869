#include "ProgressStyle.h"

#include "Console.h"

#include <cstdio>

namespace torsa::cli {

ProgressStyle stderrProgressStyle()
{
    static const ProgressStyle style =
        progressStyle(console::isTerminal(stderr), [] { return console::enableEscapeSequences(stderr); });
    return style;
}

} // namespace torsa::cli
