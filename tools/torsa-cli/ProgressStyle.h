#pragma once

// How the progress of a transfer reaches stderr: redrawn in place on a terminal
// that takes escape sequences, otherwise one line per event (the outcome
// lines), as into a file or a pipe.

#include <cstdint>

namespace torsa::cli {

enum class ProgressStyle : std::uint8_t { InPlace, Lines };

// The escape sequences are asked for on a terminal only (a Windows console
// takes them once switched on, and may refuse); a refusal means lines.
template <typename EnableEscapes>
ProgressStyle progressStyle(bool terminal, EnableEscapes &&enableEscapes)
{
    return terminal && enableEscapes() ? ProgressStyle::InPlace : ProgressStyle::Lines;
}

// stderr's style, decided once for the whole run.
ProgressStyle stderrProgressStyle();

} // namespace torsa::cli
