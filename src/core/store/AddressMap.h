#pragma once

// The unit's EEPROM address map. The memory image, the production file and the
// unit's EEPROM share it cell for cell; every fixed address lives here.

#include <cstddef>

namespace torsa::address {

inline constexpr int kImageSize = 8192; // cells 0 to 8191
inline constexpr int kLastAddress = kImageSize - 1;

inline constexpr int kSlotSize = 44;  // cells per message slot
inline constexpr int kTextCells = 42; // text cells of a slot
inline constexpr int kUnitOffset = 0; // unit cell: 128 + unit when present
inline constexpr int kPriorityOffset = 1;
inline constexpr int kTextOffset = 2;

inline constexpr int kSlotCount = 181; // slots 0 to 180, cells 0 to 7963
// Two scans (listing, priority check) run one slot past the last one, reading
// cells 7964 and 7965 as the unit and priority cells of a slot 181.
inline constexpr int kScannedSlotCount = kSlotCount + 1;

inline constexpr int kSummaryCountStart = 7980; // three ASCII digits of the present count
inline constexpr int kSummaryCountDigits = 3;
inline constexpr int kSummaryTextStart = 7983; // "VALIDE KOR", cells 7983 to 7992
inline constexpr char kSummaryText[] = "VALIDE KOR";
inline constexpr int kSummaryTextLength = sizeof(kSummaryText) - 1;

inline constexpr int kModeCell = 8188;
inline constexpr int kEmptyCountCell = 8190;
inline constexpr int kLinkTestCell = 8191;

inline constexpr int kPresenceFlag = 128; // unit cell above 127: message present
inline constexpr int kUnitMask = 31;

inline constexpr int kEndMarker = 3;
inline constexpr int kBlinkToggle = 5;

inline constexpr int kModeLetterWithPlc = 65;    // 'A'
inline constexpr int kModeLetterWithoutPlc = 83; // 'S'

constexpr int slotStart(int message)
{
    return message * kSlotSize;
}
constexpr int unitCell(int message)
{
    return slotStart(message) + kUnitOffset;
}
constexpr int priorityCell(int message)
{
    return slotStart(message) + kPriorityOffset;
}
constexpr int textStart(int message)
{
    return slotStart(message) + kTextOffset;
}

static_assert(slotStart(kSlotCount) == 7964);
static_assert(kSummaryTextStart + kSummaryTextLength - 1 == 7992);

} // namespace torsa::address
