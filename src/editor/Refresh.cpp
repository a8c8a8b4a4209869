#include "Refresh.h"

#include "Listing.h"

namespace torsa::refresh {

void writeSummary(MemoryImage &image, int tally)
{
    const QString digits = listing::zeroPadded(tally, address::kSummaryCountDigits);
    for (int i = 0; i < address::kSummaryCountDigits; ++i)
        image.set(address::kSummaryCountStart + i, digits.at(i).unicode());
    for (int i = 0; i < address::kSummaryTextLength; ++i)
        image.set(address::kSummaryTextStart + i, static_cast<unsigned char>(address::kSummaryText[i]));
}

QString statusCaption(int modeCell)
{
    QString caption = kStatusHeader.toString();
    // Two separate tests, as the cell can only hold one letter at a time.
    if (modeCell == address::kModeLetterWithPlc)
        caption.append(kStatusWithPlc);
    if (modeCell == address::kModeLetterWithoutPlc)
        caption.append(kStatusWithoutPlc);
    return caption;
}

QString countCaption(int emptyCount, SessionMode mode)
{
    if (mode == SessionMode::None)
        return kNoSession.toString();
    QString caption = QString::number(emptyCount);
    caption.append(emptyCount > 1 ? kEmptyPlural : kEmptySingular);
    return caption;
}

RefreshTick tick(MemoryImage &image, SessionMode inForce)
{
    RefreshTick result;
    result.tally = image.presentCount();
    writeSummary(image, result.tally);
    image.set(address::kEmptyCountCell, mode::total(inForce) - result.tally);

    const int modeCell = image[address::kModeCell];
    result.requestedMode = mode::fromLetter(modeCell);
    result.modeAfter = result.requestedMode == SessionMode::None ? inForce : result.requestedMode;
    result.statusCaption = statusCaption(modeCell);
    result.countCaption = countCaption(image[address::kEmptyCountCell], result.modeAfter);
    result.listing = listing::build(image);
    return result;
}

} // namespace torsa::refresh
