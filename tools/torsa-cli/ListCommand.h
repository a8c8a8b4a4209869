#pragma once

// `torsa-cli list FILE`: prints what the main window shows right after a freshly
// started program has opened FILE and run one tick of its refresh.

#include "store/MemoryImage.h"

#include <QString>
#include <QStringList>

namespace torsa::cli {

// Etiquette3, CR LF, Etiquette4, CR LF, then the listing (its lines end in CR LF),
// for the image of a file opened by a program that had no session mode yet.
QString listText(const MemoryImage &image);

// Runs `list` with the arguments that follow the command name.
int runListCommand(const QStringList &arguments);

} // namespace torsa::cli
