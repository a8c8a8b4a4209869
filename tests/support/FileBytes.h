#pragma once

// Files and memory images as bytes, for comparing what the program wrote with
// what a production file or the simulator's EEPROM holds.

#include "store/MemoryImage.h"

#include <QByteArray>
#include <QFile>
#include <QString>

namespace torsa::testing {

inline QByteArray bytesOf(const MemoryImage &image)
{
    QByteArray out;
    for (const int cell : image.cells())
        out.append(static_cast<char>(cell));
    return out;
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace torsa::testing
