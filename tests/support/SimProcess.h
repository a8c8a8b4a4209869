#pragma once

// zel-sim as a separate process: started with the given options, its
// pseudo-terminal path read from its first line of output, ended with SIGTERM
// so that --save is written.
//
// Under Wine the programs reach a unit through a Windows port: TORSA_TEST_PORTS
// ("COM5=/path/com5;COM6=/path/com6;...") names the ports and the links each
// one's device is, and the simulator takes the first port whose link is free.

#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QStringList>

class SimProcess {
public:
    SimProcess() = default;
    ~SimProcess() { stop(); }
    SimProcess(const SimProcess &) = delete;
    SimProcess &operator=(const SimProcess &) = delete;

    // True when the programs under test reach units through Windows ports.
    static bool throughWindowsPorts() { return qEnvironmentVariableIsSet("TORSA_TEST_PORTS"); }

    // True once the simulator runs and has told its device path.
    bool start(const QStringList &options = {})
    {
        const QString mapping = freeWindowsPort();
        if (throughWindowsPorts() && mapping.isEmpty())
            return false;
        const QStringList link{QStringLiteral("--link"), mapping.section(u'=', 1)};
        process_.start(QStringLiteral(ZEL_SIM_PATH), mapping.isEmpty() ? options : options + link);
        while (!process_.canReadLine())
            if (!process_.waitForReadyRead(kWaitMs))
                return false;
        path_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
        if (!mapping.isEmpty() && !path_.isEmpty())
            path_ = mapping.section(u'=', 0, 0);
        return !path_.isEmpty();
    }

    // Ends the simulator (SIGTERM) and waits for it; true when it ended normally.
    bool stop()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.terminate();
            process_.waitForFinished(kWaitMs);
        }
        return process_.state() == QProcess::NotRunning && process_.exitStatus() == QProcess::NormalExit;
    }

    // Waits for the simulator to end on its own (--die-at).
    bool waitForExit() { return process_.state() == QProcess::NotRunning || process_.waitForFinished(kWaitMs); }

    // The name the programs under test reach the unit by: its device, or its Windows port.
    QString path() const { return path_; }
    QProcess &process() { return process_; }

private:
    static constexpr int kWaitMs = 10000;

    // The first "COMn=link" of TORSA_TEST_PORTS whose link no simulator holds yet.
    static QString freeWindowsPort()
    {
        for (const QString &mapping : qEnvironmentVariable("TORSA_TEST_PORTS").split(u';', Qt::SkipEmptyParts))
            if (!QFileInfo(mapping.section(u'=', 1)).isSymLink())
                return mapping;
        return {};
    }

    QProcess process_;
    QString path_;
};
