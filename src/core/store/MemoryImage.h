#pragma once

// The whole message set: 8192 cells that are at once the unit's EEPROM and a
// production file. Cells are ints because the empty-count cell can go below 0
// (more messages present than the mode's total).

#include "AddressMap.h"

#include <array>
#include <cstdint>
#include <span>

namespace torsa {

class MemoryImage {
public:
    using Cells = std::array<int, address::kImageSize>;

    MemoryImage() { clear(); }

    void clear() { cells_.fill(0); }

    int at(int address) const { return cells_.at(static_cast<std::size_t>(address)); }
    void set(int address, int value) { cells_.at(static_cast<std::size_t>(address)) = value; }

    int operator[](int address) const { return at(address); }

    const Cells &cells() const { return cells_; }

    // Unit cell above 127: the slot holds a message.
    bool isPresent(int message) const;
    int unit(int message) const { return at(address::unitCell(message)) & address::kUnitMask; }
    int priority(int message) const { return at(address::priorityCell(message)); }

    // Number of present slots among 0 to 180.
    int presentCount() const;

    // The image as 8192 bytes; false (and nothing written) when a cell lies outside 0 to 255.
    bool toBytes(std::span<std::uint8_t, address::kImageSize> out) const;
    // Replaces every cell with the given bytes.
    void assignBytes(std::span<const std::uint8_t, address::kImageSize> bytes);
    // First cell outside 0 to 255, or -1.
    int firstCellOutOfByteRange() const;

    friend bool operator==(const MemoryImage &, const MemoryImage &) = default;

private:
    Cells cells_{};
};

} // namespace torsa
