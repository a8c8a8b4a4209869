#include "MemoryImage.h"

#include <algorithm>

namespace torsa {

bool MemoryImage::isPresent(int message) const
{
    return at(address::unitCell(message)) >= address::kPresenceFlag;
}

int MemoryImage::presentCount() const
{
    int count = 0;
    for (int message = 0; message < address::kSlotCount; ++message) {
        if (isPresent(message))
            ++count;
    }
    return count;
}

int MemoryImage::firstCellOutOfByteRange() const
{
    const auto it = std::find_if(cells_.begin(), cells_.end(), [](int v) { return v < 0 || v > 255; });
    return it == cells_.end() ? -1 : static_cast<int>(it - cells_.begin());
}

bool MemoryImage::toBytes(std::span<std::uint8_t, address::kImageSize> out) const
{
    if (firstCellOutOfByteRange() >= 0)
        return false;
    std::transform(cells_.begin(), cells_.end(), out.begin(), [](int v) { return static_cast<std::uint8_t>(v); });
    return true;
}

void MemoryImage::assignBytes(std::span<const std::uint8_t, address::kImageSize> bytes)
{
    std::copy(bytes.begin(), bytes.end(), cells_.begin());
}

} // namespace torsa
