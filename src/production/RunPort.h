#pragma once

// One port of a production run, holding the one open LinkPort of its line and
// lending it to each unit's transfer. Either it runs one unit and ends, or it
// is a station's port: it waits for a unit (a read of one byte about every half
// second, harmless to a unit), programs and verifies each unit that answers,
// then waits for it to be taken away (the read unanswered twice in a row)
// before waiting for the next. A unit taken away mid-transfer is a failed unit.

#include "UnitRun.h"

#include "link/ByteCommand.h"
#include "link/LinkPort.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <memory>

namespace torsa::production {

class RunPort : public QObject {
    Q_OBJECT

public:
    enum class Shape : std::uint8_t { OneUnit, UnitAfterUnit };

    RunPort(UnitRun::Port port, UnitRun::Job job, Shape shape, QObject *parent = nullptr);

    // One unit: opens the port and starts it at once. A station's port: starts
    // waiting for a unit.
    void start();
    // Ends the unit in progress after its byte in progress, or the wait;
    // stopped() follows from the event loop.
    void stop();

    const UnitRun::Port &port() const { return port_; }
    // The unit in progress, or the last one (until the next answers); none yet.
    const UnitRun *unit() const { return unit_.get(); }
    // A station's port waiting for a unit, or for its unit to be taken away.
    bool isWaiting() const { return phase_ == Phase::Waiting || phase_ == Phase::Leaving; }
    // A station's port whose last unit is still on it.
    bool isLeaving() const { return phase_ == Phase::Leaving; }
    // The port cannot be opened now.
    bool isUnavailable() const { return unavailable_; }
    bool isStopped() const { return phase_ == Phase::Stopped; }

Q_SIGNALS:
    // No unit on the port: at the start, once a unit has been taken away, and
    // once a port that could not be opened opens.
    void waiting();
    // The port cannot be opened (its text of the failure): said once until it opens.
    void unavailable(const QString &text);
    // A unit's run starts (one unit: also when its port is refused).
    void unitStarted(const torsa::production::UnitRun &unit);
    void stepFinished(const torsa::production::UnitRun &unit, const torsa::production::UnitRun::Step &step);
    void unitFinished(const torsa::production::UnitRun &unit);
    void stopped();

private:
    enum class Phase : std::uint8_t { Waiting, Running, Leaving, Stopping, Stopped };

    void startUnit();
    void probe();
    void onProbed(const link::CommandResult &result);
    void onUnitFinished();
    void end();

    UnitRun::Port port_;
    UnitRun::Job job_;
    Shape shape_;
    link::LinkPort link_;
    link::ByteCommand command_;
    QTimer probeTimer_;
    std::unique_ptr<UnitRun> unit_;
    Phase phase_ = Phase::Waiting;
    int missedProbes_ = 0; // unanswered in a row
    bool unavailable_ = false;
};

} // namespace torsa::production
