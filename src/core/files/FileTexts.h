#pragma once

// The two failure messages of the production-file commands, which the window
// and the command line show alike.

#include <QString>

namespace torsa::filetexts {

inline QString saveError(const QString &fileName)
{
    return QStringLiteral("Erreur lors de la création de ") + fileName + QStringLiteral(". Essayer à nouveau");
}

inline QString openError(const QString &fileName)
{
    return QStringLiteral("Erreur d'ouverture de ") + fileName;
}

} // namespace torsa::filetexts
