#pragma once

// A production file (*.zel) is the memory image byte for byte: 8192 bytes, byte k
// being cell k, with no header and no checksum.

#include "FileSaving.h"
#include "store/MemoryImage.h"

#include <QString>

#include <optional>

namespace torsa::productionfile {

// The image a file holds: its first 8192 bytes. nullopt when it cannot be opened
// or read, is a directory, or is shorter than 8192 bytes. The whole file is read
// and checked before the caller touches its own image.
std::optional<MemoryImage> read(const QString &path);

// Writes the image as 8192 bytes, as files::saveWhole saves (a failed save
// leaves any earlier file of that name intact wherever the folder allows a new
// file). A cell outside 0 to 255 is a failure and nothing is written.
files::SaveResult write(const QString &path, const MemoryImage &image);

} // namespace torsa::productionfile
