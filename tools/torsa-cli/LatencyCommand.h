#pragma once

// `torsa-cli latency PORT MS`: sets the latency timer of the USB adapter behind
// PORT, so that it stops holding the unit's answers (an administrator's task:
// the registry on Windows, sysfs on Linux).

#include <QString>
#include <QStringList>

namespace torsa::cli {

int runLatencyCommand(const QStringList &arguments);

QString latencyCommandHelp();

} // namespace torsa::cli
