#pragma once

// `torsa-cli ports`: the serial ports present, so that a technician finds the
// name of the adapter to give --port (or to choose in the window).

#include <QString>
#include <QStringList>

namespace torsa::cli {

// Runs `ports` with the arguments that follow the command name.
int runPortsCommand(const QStringList &arguments);

} // namespace torsa::cli
