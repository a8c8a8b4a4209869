#include "ImageHash.h"

#include "store/AddressMap.h"
#include "store/MemoryImage.h"

#include <QCryptographicHash>

#include <algorithm>
#include <array>
#include <cstdint>

namespace torsa::production {

namespace {

constexpr qsizetype kSha256HexDigits = 64;

bool isHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

} // namespace

QByteArray sha256Hex(const MemoryImage &image)
{
    std::array<std::uint8_t, address::kImageSize> bytes{};
    if (!image.toBytes(bytes))
        return {};
    return QCryptographicHash::hash(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())),
                                    QCryptographicHash::Sha256)
        .toHex();
}

bool isSha256Hex(const QString &text)
{
    return text.size() == kSha256HexDigits && std::ranges::all_of(text, isHexDigit);
}

} // namespace torsa::production
