#pragma once

// The options a run is given (--port, --log, --expect-sha256), read the same
// way by torsa-cli and the station window.

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace torsa::production {

// The value of "--name VALUE" or "--name=VALUE" at i (i then stands on the
// value); nothing when the argument is not that option, an empty value when the
// value is missing.
std::optional<QString> optionValue(QStringView name, const QStringList &arguments, qsizetype &i);

} // namespace torsa::production
