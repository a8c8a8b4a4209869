#include "RunPort.h"

#include "link/TransferTexts.h"

#include <chrono>
#include <utility>

namespace torsa::production {

using namespace std::chrono_literals;

namespace {

constexpr auto kProbeInterval = 500ms;
// A read changes nothing in the unit; the first cell will do.
constexpr int kProbeAddress = 0;
constexpr int kProbesMissedWhenTaken = 2;

} // namespace

RunPort::RunPort(UnitRun::Port port, UnitRun::Job job, Shape shape, QObject *parent)
    : QObject(parent)
    , port_(std::move(port))
    , job_(std::move(job))
    , shape_(shape)
    , command_(link_)
{
    probeTimer_.setInterval(kProbeInterval);
    connect(&probeTimer_, &QTimer::timeout, this, &RunPort::probe);
    connect(&command_, &link::ByteCommand::finished, this, &RunPort::onProbed);
}

void RunPort::start()
{
    if (shape_ == Shape::OneUnit) {
        const link::LinkPort::OpenResult opened = link_.open(port_.path);
        startUnit();
        if (opened.ok())
            unit_->start();
        else
            unit_->refuse(link::text::portOpenFailed(port_.given, opened.error));
        return;
    }
    phase_ = Phase::Waiting;
    probeTimer_.start();
    probe();
    if (!unavailable_)
        Q_EMIT waiting();
}

void RunPort::stop()
{
    // A second Ctrl+C changes nothing: the stop under way ends the port once.
    if (phase_ == Phase::Stopping || phase_ == Phase::Stopped)
        return;
    probeTimer_.stop();
    if (phase_ == Phase::Running) {
        phase_ = Phase::Stopping;
        unit_->stop();
        return;
    }
    phase_ = Phase::Stopping;
    // A probe on the line ends first; its end finishes the stop.
    if (!command_.isBusy())
        QMetaObject::invokeMethod(this, &RunPort::end, Qt::QueuedConnection);
}

void RunPort::startUnit()
{
    phase_ = Phase::Running;
    unit_ = std::make_unique<UnitRun>(port_, job_, link_);
    connect(unit_.get(), &UnitRun::stepFinished, this,
            [this](const UnitRun::Step &step) { Q_EMIT stepFinished(*unit_, step); });
    connect(unit_.get(), &UnitRun::finished, this, &RunPort::onUnitFinished);
    Q_EMIT unitStarted(*unit_);
}

void RunPort::probe()
{
    if (command_.isBusy() || (phase_ != Phase::Waiting && phase_ != Phase::Leaving))
        return;
    // A port that cannot be opened (an adapter unplugged, a name mistyped) is
    // said once, and tried again at each probe: no unit can be on it.
    if (!link_.isOpen()) {
        const link::LinkPort::OpenResult opened = link_.open(port_.path);
        if (!opened.ok()) {
            phase_ = Phase::Waiting;
            if (!std::exchange(unavailable_, true))
                Q_EMIT unavailable(link::text::portOpenFailed(port_.given, opened.error));
            return;
        }
        if (std::exchange(unavailable_, false) && phase_ == Phase::Waiting)
            Q_EMIT waiting();
    }
    command_.startRead(kProbeAddress, 0);
}

void RunPort::onProbed(const link::CommandResult &result)
{
    const bool answered = result.status == link::Status::Done;
    if (phase_ == Phase::Stopping) {
        end();
        return;
    }
    // One answer missed on a loaded machine is not a unit taken away: a unit
    // left on the line would be programmed again.
    missedProbes_ = answered ? 0 : missedProbes_ + 1;
    if (phase_ == Phase::Leaving && missedProbes_ >= kProbesMissedWhenTaken) {
        phase_ = Phase::Waiting;
        Q_EMIT waiting();
        return;
    }
    if (phase_ != Phase::Waiting || !answered)
        return;
    // The port stays open: the unit's transfer goes on over the same line.
    startUnit();
    unit_->start();
}

void RunPort::onUnitFinished()
{
    Q_EMIT unitFinished(*unit_);
    if (phase_ == Phase::Stopping || shape_ == Shape::OneUnit) {
        end();
        return;
    }
    phase_ = Phase::Leaving;
}

void RunPort::end()
{
    if (phase_ == Phase::Stopped)
        return;
    phase_ = Phase::Stopped;
    probeTimer_.stop();
    link_.close();
    Q_EMIT stopped();
}

} // namespace torsa::production
