#pragma once

// What a transfer or the link test was, and how it ended.

#include "Protocol.h"

#include "store/MemoryImage.h"

#include <QMetaType>

#include <cstdint>
#include <optional>

namespace torsa::link {

enum class TransferKind : std::uint8_t { Program, Read, Verify, LinkTest };

enum class TransferResult : std::uint8_t {
    Success,
    Failure, // a byte step failed: see status (1 no answer, 4 mismatch)
    Stopped, // stopped on request after the byte in progress
    Refused, // programming: a cell cannot be sent; nothing was sent
};

struct TransferOutcome {
    TransferKind kind = TransferKind::Program;
    TransferResult result = TransferResult::Success;
    Status status = Status::Done;
    int address = -1;        // failed step, or the refused cell
    int refusedValue = 0;    // the refused cell's value
    int readValue = -1;      // verification: the byte the unit gave back at address
    bool portFailed = false; // the port itself failed (device gone) during the step
    // How fast it went: the median time of its answered commands (none: no
    // command answered) and the time from its start to its end.
    std::optional<std::int64_t> medianCommandUs{};
    std::int64_t durationMs = 0;
    // A read that succeeded: the unit's whole image, for the session to take in.
    std::optional<MemoryImage> readImage;

    bool succeeded() const { return result == TransferResult::Success; }
};

} // namespace torsa::link

Q_DECLARE_METATYPE(torsa::link::TransferOutcome)
