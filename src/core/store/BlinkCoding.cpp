#include "BlinkCoding.h"

namespace torsa::blink {

int toggleCount(const BlinkBoxes &boxes)
{
    int count = 0;
    bool previous = false;
    for (const bool box : boxes) {
        if (box != previous) {
            ++count;
            previous = box;
        }
    }
    return count;
}

std::vector<int> encode(std::span<const int> deviceCodes, const BlinkBoxes &boxes)
{
    std::vector<int> cells;
    cells.reserve(address::kTextCells);
    const auto cellFree = [&cells] { return cells.size() < static_cast<std::size_t>(address::kTextCells); };

    bool blinking = false;
    for (std::size_t i = 0; i < deviceCodes.size(); ++i) {
        if (i < boxes.size() && boxes[i] != blinking) {
            if (cellFree())
                cells.push_back(address::kBlinkToggle);
            blinking = boxes[i];
        }
        if (cellFree())
            cells.push_back(deviceCodes[i]);
    }
    if (blinking && cellFree())
        cells.push_back(address::kBlinkToggle);
    if (cellFree())
        cells.push_back(address::kEndMarker);
    return cells;
}

BlinkFlags decodeFlags(const MemoryImage &image, int message)
{
    BlinkFlags flags{};
    bool blinking = false;
    std::size_t position = 1;
    const int first = address::textStart(message);
    for (int a = first; a < first + address::kTextCells && a < address::kImageSize; ++a) {
        const int value = image[a];
        if (value == address::kEndMarker)
            break;
        if (value == address::kBlinkToggle) {
            blinking = !blinking;
            continue;
        }
        if (blinking && position < flags.size())
            flags[position] = true;
        ++position;
    }
    return flags;
}

} // namespace torsa::blink
