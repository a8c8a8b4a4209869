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

// Long enough for a run of several units under Wine, whose serial ports pass
// each byte several times slower than a real line does.
constexpr int kCliWaitMs = 300000;

// A sample production file or list of samples/.
inline QString sample(const QString &name)
{
    return QStringLiteral(TORSA_SOURCE_DIR "/samples/") + name;
}

// The torsa-cli under test: the one built beside the suite, or the command
// TORSA_TEST_CLI gives (torsa-cli.exe under Wine).
inline void startCli(QProcess &process, const QStringList &arguments)
{
    QStringList command = QProcess::splitCommand(qEnvironmentVariable("TORSA_TEST_CLI"));
    if (command.isEmpty())
        command << QStringLiteral(TORSA_CLI_PATH);
    process.start(command.first(), command.mid(1) + arguments);
}

// Wine's serial ports pass each byte slower than the line: there torsa-cli's
// word on a slow link comes after every run, and is left out of what the
// suites compare (scripts/test-windows.sh checks it on its own).
inline QString withoutSlowLinkLines(const QString &err)
{
    if (!qEnvironmentVariableIsSet("TORSA_TEST_PORTS"))
        return err;
    QStringList lines = err.split(u'\n');
    lines.removeIf([](const QString &line) { return line.contains(QStringLiteral("Liaison lente : ")); });
    return lines.join(u'\n');
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
    startCli(process, arguments);
    if (!process.waitForFinished(kCliWaitMs) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), process.readAllStandardOutput(),
            withoutSlowLinkLines(QString::fromUtf8(process.readAllStandardError()))};
}

} // namespace torsa::testing
