#pragma once

// The message that ends a transfer or the link test, with its icon.

#include "UserPrompts.h"
#include "link/TransferOutcome.h"
#include "store/MemoryImage.h"

#include <QString>

namespace torsa::reports {

struct TransferReport {
    QString text;
    PromptIcon icon = PromptIcon::Information;
};

// For a read, the image is the one just read.
TransferReport forTransfer(const link::TransferOutcome &outcome, const MemoryImage &image);

} // namespace torsa::reports
