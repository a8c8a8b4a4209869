#pragma once

// How fast the commands of a transfer went, against the line's own pace. A
// lock-step command (a 7-byte frame, a 3-byte answer) costs 10.4 ms at 9600
// baud; a USB adapter that holds each answer until its latency timer runs out
// (16 ms by default on FTDI chips) rounds every command up to its next tick.

#include "Protocol.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace torsa::link {

inline constexpr std::int64_t kUsPerSecond = 1'000'000;
inline constexpr int kBitsPerByte = 10; // start, 8 data, stop
inline constexpr int kCommandBytes = kFrameSize + kReadAnswerSize;
inline constexpr int kCommandsPerPass = 8192;

// Above the line's pace by more than this, the adapter is holding answers.
// A 1 ms timer costs under 1 ms a command and a busy PC's scheduling a little
// more; the default 16 ms timer costs 5.6 ms. 3 ms stays clear of both: it is
// 25 s a pass, worth a word, while a unit's own processing of a few tenths of
// a millisecond never is.
inline constexpr std::int64_t kSlowLinkMarginUs = 3000;

// The time one command takes on the line itself, both ways.
constexpr std::int64_t lineCommandUs(int baud = kBaudRate)
{
    return std::int64_t{kCommandBytes} * kBitsPerByte * kUsPerSecond / baud;
}

// A whole pass (8192 commands) at this time per command, in ms.
constexpr std::int64_t passMsAt(std::int64_t commandUs)
{
    return commandUs * kCommandsPerPass / 1000;
}

// True when commands take clearly longer than the line needs.
constexpr bool holdsAnswers(std::int64_t medianCommandUs, int baud = kBaudRate)
{
    return medianCommandUs > lineCommandUs(baud) + kSlowLinkMarginUs;
}

// The times of one transfer's answered commands, from the frame handed to the
// port to its answer complete.
class CommandTimes {
public:
    void clear() { times_.clear(); }
    void add(std::int64_t us) { times_.push_back(us); }
    // Nothing before the first answered command.
    std::optional<std::int64_t> medianUs() const;

private:
    std::vector<std::int64_t> times_;
};

} // namespace torsa::link
