#pragma once

// The listing of all stored messages shown under the editor: two header lines,
// then one line per slot whose unit cell is not 0, every line ended by CR LF.

#include "store/LineEnds.h"
#include "store/MemoryImage.h"

#include <QString>
#include <QStringView>

namespace torsa::listing {

inline constexpr QStringView kHeader = u"Numéro | Unité | Priorité |                 MESSAGE";
inline constexpr QStringView kRule = u"--------------------------------------------------------------------";
inline constexpr int kTextFieldWidth = 40;
inline constexpr int kSlotLineWidth = 68; // a longer text widens its line: nothing is hidden

// value in decimal with leading zeros up to width digits; a minus sign comes first.
QString zeroPadded(int value, int width);

// The line of slot n (0 to 181), without its line end.
QString slotLine(const MemoryImage &image, int message);

// Whether slot n (0 to 181) appears in the listing: its unit cell is anything but 0.
bool isListed(const MemoryImage &image, int message);

// The whole listing: header, rule, then the listed slots 0 to 181 in order.
QString build(const MemoryImage &image);

} // namespace torsa::listing
