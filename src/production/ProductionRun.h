#pragma once

// A production run over one or several ports, all on this one event loop: the
// one skeleton of "these units once" (each port runs its unit and ends) and of
// a station ("unit after unit" on each port until stopped). It numbers the
// units, appends each finished command to the log, keeps how every unit ended
// and stops every port after its byte in progress. torsa-cli and the station
// window show it; neither runs a unit itself.

#include "RunPort.h"
#include "RunTexts.h"
#include "UnitRun.h"

#include <QObject>

#include <map>
#include <memory>
#include <vector>

namespace torsa::production {

class RunLog;

class ProductionRun : public QObject {
    Q_OBJECT

public:
    using Shape = RunPort::Shape;

    // The log, if any, is open and outlives the run.
    ProductionRun(const UnitRun::Job &job, const std::vector<UnitRun::Port> &ports, Shape shape, RunLog *log,
                  QObject *parent = nullptr);

    // Starts every port; finished() comes once every port has ended.
    void start();
    // Every port ends after its byte in progress (Ctrl+C, "Arrêter").
    void stop();

    Shape shape() const { return shape_; }
    bool isFinished() const { return started_ && running_ == 0; }
    const std::vector<std::unique_ptr<RunPort>> &ports() const { return ports_; }
    // The numbers of a unit that has started and not ended.
    text::UnitNumbers numbersOf(const UnitRun &unit) const;
    // The numbers of the port's last unit (zero before its first).
    text::UnitNumbers numbersOnPort(const RunPort &port) const;
    // Every unit ended so far, in the order they ended.
    const std::vector<text::UnitVerdict> &verdicts() const { return verdicts_; }
    int goodUnits() const;
    int failedUnits() const { return static_cast<int>(verdicts_.size()) - goodUnits(); }
    // The log did not take a row: the run's record is incomplete.
    bool logFailed() const { return logFailed_; }
    const RunLog *log() const { return log_; }

Q_SIGNALS:
    void waiting(const torsa::production::RunPort &port);
    void unavailable(const torsa::production::RunPort &port, const QString &text);
    void unitStarted(const torsa::production::RunPort &port, const torsa::production::UnitRun &unit);
    void stepFinished(const torsa::production::UnitRun &unit, const torsa::production::UnitRun::Step &step);
    // Also once the unit's rows are in the log; numbersOf() still knows it.
    void unitFinished(const torsa::production::RunPort &port, const torsa::production::UnitRun &unit);
    void finished();

private:
    void onUnitStarted(const RunPort &port, const UnitRun &unit);
    void onStepFinished(const UnitRun &unit, const UnitRun::Step &step);
    void onUnitFinished(const RunPort &port, const UnitRun &unit);
    void onPortStopped();

    std::vector<std::unique_ptr<RunPort>> ports_;
    std::map<const UnitRun *, text::UnitNumbers> numbers_;
    std::map<const RunPort *, text::UnitNumbers> lastOnPort_;
    std::vector<text::UnitVerdict> verdicts_;
    QString file_;
    Shape shape_;
    RunLog *log_;
    std::size_t running_ = 0;
    int units_ = 0;
    bool started_ = false;
    bool logFailed_ = false;
};

} // namespace torsa::production
