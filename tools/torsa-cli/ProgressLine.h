#pragma once

// The progress line of one transfer on a terminal: activity, percentage, elapsed
// time and time left, redrawn in place on stderr. Off when stderr is not a terminal
// that takes escape sequences (ProgressStyle.h).

#include "link/TransferOutcome.h"

#include <cstdint>

namespace torsa::cli {

class ProgressLine {
public:
    ProgressLine();

    // The byte at this address is about to be transferred, with whole passes
    // still to come after this one.
    void show(link::TransferKind kind, int address, std::int64_t elapsedMs, int passesAfter);
    // Ends the line, if one was shown; the next show() starts a new one.
    void end();

private:
    bool enabled_;
    bool shown_ = false;
    int lastPercent_ = -1;
    std::int64_t lastMs_ = 0;
};

} // namespace torsa::cli
