#include "FileSaving.h"

#include "FileTexts.h"

#include <QFileInfo>
#include <QSaveFile>

namespace torsa::files {

SaveResult saveWhole(const QString &path, QByteArrayView bytes)
{
    QSaveFile file(path);
    // Asked for only once a new file beside the old one was refused, so that
    // it is known whether a failure from here on has touched the old file.
    bool inPlace = false;
    if (!file.open(QIODevice::WriteOnly)) {
        file.setDirectWriteFallback(true);
        if (!file.open(QIODevice::WriteOnly))
            return SaveResult::NotSaved;
        inPlace = true;
    }
    const SaveResult failed = inPlace ? SaveResult::LeftIncomplete : SaveResult::NotSaved;
    // QSaveFile holds the bytes in its buffer, and commit() renames the file
    // even when the last flush of that buffer failed: the flush is checked here.
    if (file.write(bytes.data(), bytes.size()) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return failed;
    }
    return file.commit() ? SaveResult::Saved : failed;
}

bool canSave(const QString &path)
{
    const QFileInfo file(path);
    if (file.isDir() || (file.exists() && !file.isWritable()))
        return false;
    return file.exists() || QFileInfo(file.absolutePath()).isWritable();
}

QString incompleteFileNote(const QString &path)
{
    return QStringLiteral("Le fichier ") + path + QStringLiteral(" est incomplet.");
}

QString saveFailureText(const QString &path, SaveResult result)
{
    QString text = filetexts::saveError(path);
    if (result == SaveResult::LeftIncomplete)
        text += u'\n' + incompleteFileNote(path);
    return text;
}

} // namespace torsa::files
