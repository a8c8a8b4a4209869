#pragma once

// What a drop onto the main window opens: one production file, as "Ouvrir"
// does once its dialog has given the name, or nothing and why.

#include <QList>
#include <QString>
#include <QUrl>

namespace torsa::dropped {

struct Choice {
    QString file;    // the file to open; empty when refused
    QString refusal; // why nothing opens
};

inline constexpr QStringView kSeveralFiles = u"Un seul fichier de production à la fois : aucun fichier n'a été ouvert.";

// A folder, or anything but a file of this computer, opens nothing either.
Choice choose(const QList<QUrl> &urls);

} // namespace torsa::dropped
