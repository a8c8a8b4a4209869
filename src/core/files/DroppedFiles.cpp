#include "DroppedFiles.h"

#include <QFileInfo>

namespace torsa::dropped {

Choice choose(const QList<QUrl> &urls)
{
    if (urls.size() != 1)
        return {{}, kSeveralFiles.toString()};
    const QUrl &url = urls.constFirst();
    if (!url.isLocalFile())
        return {
            {},
            QStringLiteral("%1 n'est pas un fichier de ce poste : il n'a pas été ouvert.").arg(url.toDisplayString())};
    const QString file = url.toLocalFile();
    if (QFileInfo(file).isDir())
        return {{},
                QStringLiteral("%1 est un dossier, pas un fichier de production : il n'a pas été ouvert.").arg(file)};
    // Anything else opens as "Ouvrir" would, a missing or short file included.
    return {file, {}};
}

} // namespace torsa::dropped
