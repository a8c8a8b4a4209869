#pragma once

// `torsa-cli program|read|verify FILE --port PORT` and `torsa-cli test --port PORT`:
// the program's own transfers and link test, without a display; program, verify
// and test on several units at once, --verify and --log for a production line.

#include <QString>
#include <QStringList>

namespace torsa::cli {

// Runs the command with the arguments that follow its name, in its own event
// loop; returns the exit status.
int runTransferCommand(const QString &command, const QStringList &arguments);

} // namespace torsa::cli
