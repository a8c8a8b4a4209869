#pragma once

// How the two file commands set up their dialog: title, the two name filters
// (label with its pattern) and the filter selected at first. No default suffix,
// no initial directory, no overwrite question, no existence check.

#include <QStringView>

#include <array>

namespace torsa::filedialog {

inline constexpr QStringView kSaveTitle = u"Enregistrer un fichier de production";
inline constexpr QStringView kOpenTitle = u"Ouvrir un fichier de production";

// Qt takes the pattern from the parentheses at the end of each label.
inline constexpr std::array<QStringView, 2> kNameFilters = {
    QStringView(u"Fichiers zel(*.zel)"),
    QStringView(u"Tous les fichiers (*.*)"),
};
inline constexpr int kFilterIndex = 1;   // counted from 1: the zel filter

} // namespace torsa::filedialog
