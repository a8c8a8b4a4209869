#pragma once

// One port of a station: it waits for a unit (a read of one byte about every
// half second, harmless to a unit), programs and verifies each unit that
// answers, then waits for it to be taken away (the read unanswered) before
// waiting for the next. A unit taken away mid-transfer is a failed unit.

#include "UnitRun.h"

#include "link/ByteCommand.h"
#include "link/LinkPort.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <memory>

namespace torsa::cli {

class StationPort : public QObject {
    Q_OBJECT

public:
    StationPort(UnitRun::Port port, UnitRun::Job job, QObject *parent = nullptr);

    // Starts waiting for a unit.
    void start();
    // Ends the unit in progress after its byte in progress, or the wait;
    // stopped() follows from the event loop.
    void stop();

    const UnitRun::Port &port() const { return port_; }
    // The unit in progress, if any.
    const UnitRun *unit() const { return unit_.get(); }

Q_SIGNALS:
    // No unit on the port: at the start, once a unit has been taken away, and
    // once a port that could not be opened opens.
    void waiting();
    // The port cannot be opened (its text of the failure): said once until it opens.
    void unavailable(const QString &text);
    // A unit answered and its programming starts.
    void unitStarted(const torsa::cli::UnitRun &unit);
    void stepFinished(const torsa::cli::UnitRun &unit, const torsa::cli::UnitRun::Step &step);
    void unitFinished(const torsa::cli::UnitRun &unit);
    void stopped();

private:
    enum class Phase : std::uint8_t { Waiting, Running, Leaving, Stopping, Stopped };

    void probe();
    void onProbed(const link::CommandResult &result);
    void onUnitFinished();
    void end();

    UnitRun::Port port_;
    UnitRun::Job job_;
    link::LinkPort link_;
    link::ByteCommand command_;
    QTimer probeTimer_;
    std::unique_ptr<UnitRun> unit_;
    Phase phase_ = Phase::Waiting;
    bool unavailable_ = false;
};

} // namespace torsa::cli
