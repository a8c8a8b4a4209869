#include "MessageText.h"

#include "CharCodes.h"

namespace torsa::messagetext {

QString decode(const MemoryImage &image, int message)
{
    QString result;
    result.reserve(address::kTextCells);
    const int first = address::textStart(message);
    for (int a = first; a < first + address::kTextCells && a < address::kImageSize; ++a) {
        const int value = image[a];
        if (value == address::kEndMarker)
            break;
        if (value < charcodes::kFirstStoredCode)
            continue;
        // Every character of Windows-1252 lies in the Basic Multilingual Plane.
        result.append(QChar(static_cast<char16_t>(charcodes::deviceCharacter(value))));
    }
    return result;
}

} // namespace torsa::messagetext
