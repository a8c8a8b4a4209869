#include "ExitStatus.h"

namespace torsa::production {

using link::TransferVerdict;

int exitStatusOf(TransferVerdict verdict)
{
    switch (verdict) {
    case TransferVerdict::Success: return kExitSuccess;
    case TransferVerdict::CellRefused:
    case TransferVerdict::FileNotWritten: return kExitUnreadableFile;
    case TransferVerdict::PortRefused: return kExitPortUnavailable;
    case TransferVerdict::Mismatch: return kExitVerificationMismatch;
    case TransferVerdict::Stopped:
    case TransferVerdict::NoAnswer:
    case TransferVerdict::LinkTestFailed: break;
    }
    return kExitCommunicationFailure;
}

} // namespace torsa::production
