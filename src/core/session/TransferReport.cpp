#include "TransferReport.h"

#include "Reports.h"
#include "link/TransferTexts.h"
#include "link/TransferVerdict.h"

namespace torsa::reports {

using link::TransferKind;
using link::TransferVerdict;

TransferReport forTransfer(const link::TransferOutcome &outcome, const MemoryImage &image)
{
    namespace text = link::text;
    switch (link::verdictOf(outcome)) {
    case TransferVerdict::Stopped: return {text::stopped(), PromptIcon::Exclamation};
    case TransferVerdict::CellRefused:
        return {text::refusedCell(outcome.address, outcome.refusedValue), PromptIcon::Exclamation};
    case TransferVerdict::LinkTestFailed: return {text::linkTestFailure(), PromptIcon::Critical};
    case TransferVerdict::Mismatch: return {text::verificationFailure(outcome.address), PromptIcon::Critical};
    case TransferVerdict::NoAnswer:
    case TransferVerdict::PortRefused:
    case TransferVerdict::FileNotWritten: return {text::communicationFailure(), PromptIcon::Exclamation};
    case TransferVerdict::Success: break;
    }
    switch (outcome.kind) {
    case TransferKind::Program: return {text::programmingSuccess(), PromptIcon::Information};
    case TransferKind::Read: return {readingReport(image), PromptIcon::Information};
    case TransferKind::Verify: return {text::verificationSuccess(), PromptIcon::Information};
    case TransferKind::LinkTest: break;
    }
    return {text::linkTestSuccess(), PromptIcon::Information};
}

} // namespace torsa::reports
