#include "ProductionFile.h"

#include "FileSaving.h"

#include <QFile>

#include <array>
#include <cstdint>

namespace torsa::productionfile {

std::optional<MemoryImage> read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    std::array<std::uint8_t, address::kImageSize> bytes{};
    auto *data = reinterpret_cast<char *>(bytes.data());
    qint64 got = 0;
    // A pipe or a device may hand its bytes over in pieces.
    while (got < address::kImageSize) {
        const qint64 n = file.read(data + got, address::kImageSize - got);
        if (n <= 0)
            return std::nullopt;
        got += n;
    }
    MemoryImage image;
    image.assignBytes(bytes);
    return image;
}

files::SaveResult write(const QString &path, const MemoryImage &image)
{
    std::array<std::uint8_t, address::kImageSize> bytes{};
    if (!image.toBytes(bytes))
        return files::SaveResult::NotSaved;
    return files::saveWhole(path, QByteArrayView(bytes.data(), address::kImageSize));
}

} // namespace torsa::productionfile
