#pragma once

// What a torsa-cli run says on stderr while the production run goes on, and
// the status it ends with. One unit shows and says what a single transfer
// always has; several show a board (ProgressBoard); a station says a line per
// port and unit as each waits, starts and ends, then the verdict.

#include "ProductionRun.h"
#include "ProgressLine.h"

#include <QObject>

namespace torsa::cli {

class RunConsole : public QObject {
    Q_OBJECT

public:
    using Shape = production::ProductionRun::Shape;

    // The log, if any, is open and outlives the run.
    RunConsole(const production::UnitRun::Job &job, const std::vector<production::UnitRun::Port> &ports,
               production::ProductionRun::Shape shape, production::RunLog *log, QObject *parent = nullptr);

    // Runs until every port has ended; the exit status: 4 when the log failed;
    // for a station 0 when every unit ended well, 1 otherwise; for units once
    // 0 when all succeeded, else that of the first failing port in the order given.
    int exec();

private:
    // Beyond one port without --verify and --log, which stays as it always was.
    bool takesInterrupts() const;
    void showStation();
    void showOneUnit();
    int exitStatus() const;

    production::ProductionRun run_;
    bool verifyAfter_;
    ProgressLine line_;
};

} // namespace torsa::cli
