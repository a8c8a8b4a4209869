#pragma once

// `torsa-cli export FILE [-o LIST]` and `torsa-cli import LIST -o FILE`: message
// sets to and from a spreadsheet's CSV file.

#include <QString>
#include <QStringList>

namespace torsa::cli {

// Runs the command with the arguments that follow its name; returns the exit status.
int runCsvCommand(const QString &command, const QStringList &arguments);

} // namespace torsa::cli
