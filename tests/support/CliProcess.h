#pragma once

// The built torsa-cli run as its own process, with the file helpers its tests use.

#include "support/FileBytes.h"

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <functional>

namespace torsa::testing {

struct CliRun {
    int exitCode = -1; // -1: did not end normally in time
    QByteArray out;
    QString err; // stderr, UTF-8
};

// A sample production file or list of samples/.
inline QString sample(const QString &name)
{
    return QStringLiteral(TORSA_SOURCE_DIR "/samples/") + name;
}

// prepare sets the process up before it starts (a limit on its files, say).
inline CliRun runCli(const QStringList &arguments,
                     const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment(),
                     const std::function<void(QProcess &)> &prepare = {})
{
    QProcess process;
    process.setProcessEnvironment(environment);
    if (prepare)
        prepare(process);
    process.start(QStringLiteral(TORSA_CLI_PATH), arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), process.readAllStandardOutput(), QString::fromUtf8(process.readAllStandardError())};
}

} // namespace torsa::testing
