#pragma once

// Showing a stored message: its text decoded from the slot's text cells.

#include "MemoryImage.h"

#include <QString>

namespace torsa::messagetext {

// Text of message n: at most 42 text cells, the device table reversed, stopping at
// the end marker, values below 32 (blink toggles among them) left out. The scan
// never reads past the image, so a slot 181 can be decoded as well.
QString decode(const MemoryImage &image, int message);

} // namespace torsa::messagetext
