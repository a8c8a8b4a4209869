#pragma once

class QTranslator;

namespace torsa {

// Loads Qt's own French translation into the translator and installs it, so that
// standard buttons and dialogs read "Oui", "Non", "Annuler". False when Qt's
// translations are not installed; the program then carries on in Qt's English.
bool installFrenchInterface(QTranslator &translator);

} // namespace torsa
