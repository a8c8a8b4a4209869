#pragma once

// `torsa-cli station`: one StationPort per port, all on this one event loop,
// until Ctrl+C. Each unit is numbered in the run and on its port, gets its
// line when it ends and its rows in the log; the run ends on its verdict.

#include "ProgressBoard.h"
#include "StationPort.h"
#include "UnitRun.h"

#include <QEventLoop>
#include <QObject>

#include <map>
#include <memory>
#include <vector>

namespace torsa::cli {

class RunLog;

class StationRun : public QObject {
    Q_OBJECT

public:
    // The log, if any, is open and outlives the run.
    StationRun(const UnitRun::Job &job, const std::vector<UnitRun::Port> &ports, RunLog *log,
               QObject *parent = nullptr);

    // Runs until Ctrl+C (or SIGTERM) and every port has ended; the exit status:
    // 0 when every unit ended well, 1 otherwise, 4 when the log failed.
    int exec();

private:
    struct Numbers {
        int inRun = 0;
        int onPort = 0;
    };

    void onUnitStarted(const StationPort &port, const UnitRun &unit);
    void onUnitFinished(const UnitRun &unit);
    void onPortStopped();
    void stopAll();

    std::vector<std::unique_ptr<StationPort>> ports_;
    std::map<const UnitRun *, Numbers> numbers_;
    std::map<const StationPort *, int> unitsOnPort_;
    std::vector<UnitVerdict> verdicts_;
    QString file_;
    RunLog *log_;
    QEventLoop loop_;
    std::size_t running_ = 0;
    int units_ = 0;
    bool logFailed_ = false;
};

} // namespace torsa::cli
