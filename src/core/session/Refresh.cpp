#include "Refresh.h"

#include "Listing.h"
#include "Reports.h"
#include "store/Validation.h"

namespace torsa::refresh {

void writeSummary(MemoryImage &image, int tally)
{
    const QString digits = listing::zeroPadded(tally, address::kSummaryCountDigits);
    for (int i = 0; i < address::kSummaryCountDigits; ++i)
        image.set(address::kSummaryCountStart + i, digits.at(i).unicode());
    for (int i = 0; i < address::kSummaryTextLength; ++i)
        image.set(address::kSummaryTextStart + i, static_cast<unsigned char>(address::kSummaryText[i]));
}

RefreshTick tick(MemoryImage &image, SessionMode inForce)
{
    RefreshTick result;
    result.tally = recount(image, inForce);
    writeSummary(image, result.tally);

    const int modeCell = image[address::kModeCell];
    result.requestedMode = mode::fromLetter(modeCell);
    result.modeAfter = result.requestedMode == SessionMode::None ? inForce : result.requestedMode;
    result.statusCaption = reports::statusCaption(modeCell);
    result.countCaption = reports::countCaption(image[address::kEmptyCountCell], result.modeAfter);
    result.listing = listing::build(image);
    return result;
}

} // namespace torsa::refresh
