#pragma once

// What opening a production file tells the user and the window, and the texts of
// the two file commands.

#include "store/MemoryImage.h"
#include "store/SessionMode.h"

#include <QString>
#include <QStringView>

namespace torsa {

struct OpenReport {
    // INIT_AVEC / INIT_SANS to run; None when the mode cell holds neither letter.
    SessionMode requestedMode = SessionMode::None;
    int tally = 0;    // the message tally takes the empty-count cell's value
    QString text;     // lines ended by LF CR; the success line is not part of it
};

namespace filereport {

inline constexpr QStringView kLfCr = u"\n\r";
inline constexpr QStringView kHeader = u"Centrale de défauts :";
inline constexpr QStringView kWithPlc = u"Avec automate.";
inline constexpr QStringView kWithoutPlc = u"Sans automate.";
// Plural for every count, 0 and 1 included.
inline constexpr QStringView kEmptyMessages = u" messages vides.";
inline constexpr QStringView kSuccess = u"Lecture terminée avec succés !";

// The report for an image just opened.
OpenReport forOpenedImage(const MemoryImage &image);

// The message box text after a successful open: the report, then the success line.
QString openedMessage(const OpenReport &report);

QString saveError(const QString &fileName);
QString openError(const QString &fileName);

} // namespace filereport
} // namespace torsa
