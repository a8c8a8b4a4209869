#pragma once

// zel-sim as a separate process: started with the given options, its
// pseudo-terminal path read from its first line of output, ended with SIGTERM
// so that --save is written.

#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QString>
#include <QStringList>

class SimProcess {
public:
    SimProcess() = default;
    ~SimProcess() { stop(); }
    SimProcess(const SimProcess &) = delete;
    SimProcess &operator=(const SimProcess &) = delete;

    // True once the simulator runs and has told its device path.
    bool start(const QStringList &options = {})
    {
        process_.start(QStringLiteral(ZEL_SIM_PATH), options);
        QSignalSpy output(&process_, &QProcess::readyReadStandardOutput);
        QElapsedTimer waited;
        waited.start();
        while (!process_.canReadLine()) {
            if (!process_.waitForStarted(kWaitMs) || waited.elapsed() > kWaitMs)
                return false;
            output.wait(kWaitMs);
        }
        path_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
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

    QString path() const { return path_; }
    QProcess &process() { return process_; }

private:
    static constexpr int kWaitMs = 10000;
    QProcess process_;
    QString path_;
};
