#pragma once

// Runs the built torsa-cli as its own process, and small file helpers for the
// command-line tests.

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace torsa::testing {

struct CliRun {
    int exitCode = -1;   // -1: did not end normally in time
    QByteArray out;
    QString err;         // stderr, UTF-8
};

inline CliRun runCli(const QStringList &arguments,
                     const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    constexpr int kExitMs = 60000;
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TORSA_CLI_PATH), arguments);
    CliRun run;
    if (!process.waitForFinished(kExitMs) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace torsa::testing
