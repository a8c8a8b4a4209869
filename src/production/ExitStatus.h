#pragma once

// The status a command ends with: torsa-cli's exit status, and for a unit's
// command the "Code" column of the production log, which a station window
// writes too.

#include "link/TransferVerdict.h"

namespace torsa::production {

enum ExitCode : int {
    kExitSuccess = 0,
    kExitCommunicationFailure = 1, // no answer, port lost, any link-test failure
    kExitVerificationMismatch = 2,
    kExitPortUnavailable = 3,
    kExitUnreadableFile = 4, // a file that cannot be read, or written
    kExitUsage = 64,
    kExitDataRefused = 65,  // rows refused, a file that is not a list, a file without a mode
    kExitOutputFailed = 74, // stdout could not take the output (full disk, closed pipe)
};

// The one place where how a unit's command ended becomes a number.
int exitStatusOf(link::TransferVerdict verdict);

} // namespace torsa::production
