#include "MessageText.h"

#include "CharCodes.h"

namespace torsa::text {

QString decode(const MemoryImage &image, int message)
{
    QString result;
    const int first = address::textStart(message);
    for (int a = first; a < first + address::kTextCells && a < address::kImageSize; ++a) {
        const int value = image[a];
        if (value == address::kEndMarker)
            break;
        if (value < charcodes::kFirstStoredCode)
            continue;
        const char32_t ch = charcodes::deviceCharacter(value);
        result.append(QString::fromUcs4(&ch, 1));
    }
    return result;
}

} // namespace torsa::text
