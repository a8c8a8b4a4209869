#include "ProductionRun.h"

#include "RunLog.h"

#include <algorithm>
#include <optional>

namespace torsa::production {

ProductionRun::ProductionRun(const UnitRun::Job &job, const std::vector<UnitRun::Port> &ports, Shape shape, RunLog *log,
                             QObject *parent)
    : QObject(parent)
    , file_(job.file)
    , shape_(shape)
    , log_(log)
{
    for (const UnitRun::Port &given : ports) {
        auto port = std::make_unique<RunPort>(given, job, shape);
        const RunPort *seen = port.get();
        connect(port.get(), &RunPort::waiting, this, [this, seen] { Q_EMIT waiting(*seen); });
        connect(port.get(), &RunPort::unavailable, this,
                [this, seen](const QString &text) { Q_EMIT unavailable(*seen, text); });
        connect(port.get(), &RunPort::unitStarted, this,
                [this, seen](const UnitRun &unit) { onUnitStarted(*seen, unit); });
        connect(port.get(), &RunPort::stepFinished, this, &ProductionRun::onStepFinished);
        connect(port.get(), &RunPort::unitFinished, this,
                [this, seen](const UnitRun &unit) { onUnitFinished(*seen, unit); });
        connect(port.get(), &RunPort::stopped, this, &ProductionRun::onPortStopped);
        ports_.push_back(std::move(port));
    }
}

void ProductionRun::start()
{
    started_ = true;
    running_ = ports_.size();
    for (const auto &port : ports_)
        port->start();
}

void ProductionRun::stop()
{
    for (const auto &port : ports_)
        port->stop();
}

text::UnitNumbers ProductionRun::numbersOf(const UnitRun &unit) const
{
    const auto found = numbers_.find(&unit);
    return found != numbers_.end() ? found->second : text::UnitNumbers{};
}

text::UnitNumbers ProductionRun::numbersOnPort(const RunPort &port) const
{
    const auto found = lastOnPort_.find(&port);
    return found != lastOnPort_.end() ? found->second : text::UnitNumbers{};
}

int ProductionRun::goodUnits() const
{
    return static_cast<int>(std::ranges::count_if(
        verdicts_, [](const text::UnitVerdict &unit) { return unit.verdict == link::TransferVerdict::Success; }));
}

void ProductionRun::onUnitStarted(const RunPort &port, const UnitRun &unit)
{
    const text::UnitNumbers numbers{++units_, lastOnPort_[&port].onPort + 1};
    numbers_[&unit] = numbers;
    lastOnPort_[&port] = numbers;
    Q_EMIT unitStarted(port, unit);
}

void ProductionRun::onStepFinished(const UnitRun &unit, const UnitRun::Step &step)
{
    // A station's rows carry the unit's number in the run; one unit per port needs none.
    const std::optional<int> number =
        shape_ == Shape::UnitAfterUnit ? std::optional(numbersOf(unit).inRun) : std::nullopt;
    if (log_ != nullptr && !log_->append(unit.port(), file_, step, number))
        logFailed_ = true;
    Q_EMIT stepFinished(unit, step);
}

void ProductionRun::onUnitFinished(const RunPort &port, const UnitRun &unit)
{
    const QString name =
        shape_ == Shape::UnitAfterUnit ? text::unitName(port.port().given, numbersOf(unit).inRun) : port.port().given;
    verdicts_.push_back({name, unit.lastStep().verdict, unit.lastStep().text});
    Q_EMIT unitFinished(port, unit);
    numbers_.erase(&unit);
}

void ProductionRun::onPortStopped()
{
    if (--running_ == 0)
        Q_EMIT finished();
}

} // namespace torsa::production
