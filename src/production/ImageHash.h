#pragma once

// The SHA-256 of an image's 8192 bytes, as the log keeps it and
// --expect-sha256 checks it: lower-case hexadecimal.

#include <QByteArray>
#include <QString>

namespace torsa {
class MemoryImage;
}

namespace torsa::production {

// Empty when a cell does not fit a byte.
QByteArray sha256Hex(const MemoryImage &image);

// Whether the text can be an expected hash: 64 hexadecimal digits, any case.
bool isSha256Hex(const QString &text);

} // namespace torsa::production
