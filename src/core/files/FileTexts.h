#pragma once

// The texts of the production-file commands: how their dialogs are set up (title,
// the two name filters, the filter selected at first; no default suffix, no
// initial directory, no overwrite question, no existence check) and their two
// failure messages, which the command line uses as well.

#include <QString>
#include <QStringView>

#include <array>

namespace torsa::filetexts {

inline constexpr QStringView kSaveTitle = u"Enregistrer un fichier de production";
inline constexpr QStringView kOpenTitle = u"Ouvrir un fichier de production";

// Qt takes the pattern from the parentheses at the end of each label.
inline constexpr std::array<QStringView, 2> kNameFilters = {
    QStringView(u"Fichiers zel(*.zel)"),
    QStringView(u"Tous les fichiers (*.*)"),
};
inline constexpr int kFilterIndex = 1; // counted from 1: the zel filter

inline QString saveError(const QString &fileName)
{
    return QStringLiteral("Erreur lors de la création de ") + fileName + QStringLiteral(". Essayer à nouveau");
}

inline QString openError(const QString &fileName)
{
    return QStringLiteral("Erreur d'ouverture de ") + fileName;
}

} // namespace torsa::filetexts
