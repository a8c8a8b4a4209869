#pragma once

// How a transfer or the link test ended, in the few ways the user is told of
// and a production line tells apart: the window's message and icon and
// torsa-cli's exit status both come from this one classification.

#include "TransferOutcome.h"

#include <cstdint>

namespace torsa::link {

enum class TransferVerdict : std::uint8_t {
    Success,
    Stopped,        // stopped on request after the byte in progress
    CellRefused,    // programming: a cell outside 0 to 255; nothing was sent
    PortRefused,    // the port could not be opened (never from an outcome: before any transfer)
    NoAnswer,       // a byte went unanswered, or the port was lost
    Mismatch,       // verification: a byte read differs from the file
    LinkTestFailed, // the link test, whatever went wrong
    FileNotWritten, // reading into a file: the bytes read could not be written (never from an outcome)
};

constexpr TransferVerdict verdictOf(const TransferOutcome &outcome)
{
    switch (outcome.result) {
    case TransferResult::Success: return TransferVerdict::Success;
    case TransferResult::Stopped: return TransferVerdict::Stopped;
    case TransferResult::Refused: return TransferVerdict::CellRefused;
    case TransferResult::Failure: break;
    }
    if (outcome.kind == TransferKind::LinkTest)
        return TransferVerdict::LinkTestFailed;
    return outcome.status == Status::Mismatch ? TransferVerdict::Mismatch : TransferVerdict::NoAnswer;
}

} // namespace torsa::link
