#pragma once

// Where a failed transfer stopped, beyond the program's own message: the
// address, and for a verification the byte expected and the byte read. A
// production line keeps it in its log and shows it under the message.

#include "link/TransferOutcome.h"

#include <QString>

#include <optional>

namespace torsa {
class MemoryImage;
}

namespace torsa::production {

struct Diagnostic {
    int address = 0;
    std::optional<int> expected; // verification mismatch only
    std::optional<int> read;
};

// Nothing for a success, a stop, a refusal or a link test.
std::optional<Diagnostic> diagnosticOf(const link::TransferOutcome &outcome, const MemoryImage &image);

// The line shown under the message.
QString diagnosticText(const Diagnostic &diagnostic);

} // namespace torsa::production
