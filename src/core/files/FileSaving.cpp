#include "FileSaving.h"

#include <QFileInfo>
#include <QSaveFile>

namespace torsa::files {

bool saveWhole(const QString &path, QByteArrayView bytes)
{
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes.data(), bytes.size()) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool canSave(const QString &path)
{
    const QFileInfo file(path);
    if (file.isDir() || (file.exists() && !file.isWritable()))
        return false;
    return file.exists() || QFileInfo(file.absolutePath()).isWritable();
}

} // namespace torsa::files
