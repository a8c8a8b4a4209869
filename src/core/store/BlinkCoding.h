#pragma once

// Blink zones are kept inside a message's text as toggle codes (5) between the
// characters. The editor marks them with 40 boxes, one per character position.

#include "AddressMap.h"
#include "MemoryImage.h"

#include <array>
#include <span>
#include <vector>

namespace torsa {

inline constexpr int kBlinkBoxCount = 40;                  // character positions 1 to 40 have a box
inline constexpr int kMaxTextLength = address::kTextCells; // 42 characters at most

// Box of character position i (1 to 40) at index i - 1.
using BlinkBoxes = std::array<bool, kBlinkBoxCount>;

// Blink flag of character position k (1 to 42) at index k; index 0 is unused.
using BlinkFlags = std::array<bool, kMaxTextLength + 1>;

namespace blink {

// Number of toggles the 40 boxes call for: the changes between neighbouring
// positions, counting from "not blinking" before position 1.
int toggleCount(const BlinkBoxes &boxes);

// Text cells for a text already in device codes: a toggle before each change of
// state (positions 41 and 42 keep the state of 40), a closing toggle when the last
// character blinks, then the end marker, each only while a text cell is free.
// The result holds at most 42 cells.
std::vector<int> encode(std::span<const int> deviceCodes, const BlinkBoxes &boxes);

// Flags of the characters of message n, walking its text cells: 3 ends, 5 inverts
// the state, any other value is one character position.
BlinkFlags decodeFlags(const MemoryImage &image, int message);

} // namespace blink
} // namespace torsa
