#pragma once

// A torsa-cli run over one or several ports: every unit at once, each on its own
// port, all on this one event loop. One unit shows and says what a single
// transfer always has; several show a board (ProgressBoard). A unit that
// fails ends alone; Ctrl+C stops every unit after its byte in progress.

#include "ProgressLine.h"
#include "UnitRun.h"

#include <QEventLoop>
#include <QObject>

#include <memory>
#include <vector>

namespace torsa::cli {

class RunLog;

class ProductionRun : public QObject {
    Q_OBJECT

public:
    // The log, if any, is open and outlives the run.
    ProductionRun(const UnitRun::Job &job, const std::vector<UnitRun::Port> &ports, RunLog *log,
                  QObject *parent = nullptr);

    // Runs until every unit has ended; the exit status: 0 when all succeeded,
    // else that of the first failing port in the order given.
    int exec();

private:
    // Beyond one port without --verify and --log, which stays as it always was.
    bool isProductionRun() const;
    void onStepFinished(const UnitRun &unit, const UnitRun::Step &step);
    void onUnitFinished();
    void stopAll();

    std::vector<std::unique_ptr<UnitRun>> units_;
    QString file_;
    bool verifyAfter_;
    RunLog *log_;
    QEventLoop loop_;
    ProgressLine line_;
    std::size_t running_ = 0;
    bool logFailed_ = false;
};

} // namespace torsa::cli
