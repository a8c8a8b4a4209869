#include "StationRun.h"

#include "Interrupts.h"
#include "Output.h"
#include "ProgressStyle.h"
#include "RunLog.h"

#include "files/FileTexts.h"

#include <QRegularExpression>

#include <algorithm>

namespace torsa::cli {

using namespace Qt::StringLiterals;

namespace {

constexpr double kMsPerSecond = 1000.0;

QString oneLine(QString text)
{
    static const QRegularExpression lineBreaks(u"[\r\n]+"_s);
    return text.replace(lineBreaks, u" "_s);
}

} // namespace

StationRun::StationRun(const UnitRun::Job &job, const std::vector<UnitRun::Port> &ports, RunLog *log, QObject *parent)
    : QObject(parent)
    , file_(job.file)
    , log_(log)
{
    for (const UnitRun::Port &port : ports) {
        auto station = std::make_unique<StationPort>(port, job);
        const StationPort *seen = station.get();
        connect(station.get(), &StationPort::waiting, this,
                [seen] { say(u"%1  en attente d'une unité"_s.arg(seen->port().given)); });
        connect(station.get(), &StationPort::unavailable, this,
                [seen](const QString &text) { say(seen->port().given + u"  "_s + oneLine(text)); });
        connect(station.get(), &StationPort::unitStarted, this,
                [this, seen](const UnitRun &unit) { onUnitStarted(*seen, unit); });
        connect(station.get(), &StationPort::stepFinished, this,
                [this](const UnitRun &unit, const UnitRun::Step &step) {
                    if (log_ != nullptr && !log_->append(unit.port(), file_, step, numbers_[&unit].inRun))
                        logFailed_ = true;
                });
        connect(station.get(), &StationPort::unitFinished, this, &StationRun::onUnitFinished);
        connect(station.get(), &StationPort::stopped, this, &StationRun::onPortStopped);
        ports_.push_back(std::move(station));
    }
}

int StationRun::exec()
{
    const Interrupts interrupts;
    connect(&interrupts, &Interrupts::requested, this, &StationRun::stopAll);
    running_ = ports_.size();
    for (const auto &port : ports_)
        port->start();
    loop_.exec();
    say(verdictLine(verdicts_));
    if (logFailed_) {
        say(filetexts::saveError(log_->path()));
        return kExitUnreadableFile;
    }
    const bool allGood = std::ranges::all_of(verdicts_, [](const UnitVerdict &unit) { return unit.exitCode == 0; });
    return allGood ? kExitSuccess : kExitCommunicationFailure;
}

void StationRun::onUnitStarted(const StationPort &port, const UnitRun &unit)
{
    const Numbers numbers{++units_, ++unitsOnPort_[&port]};
    numbers_[&unit] = numbers;
    if (stderrProgressStyle() == ProgressStyle::Lines)
        reportProgressLines(unit, this);
    say(u"%1  unité %2 (n° %3 sur ce port) : en cours"_s.arg(port.port().given).arg(numbers.inRun).arg(numbers.onPort));
}

void StationRun::onUnitFinished(const UnitRun &unit)
{
    const Numbers numbers = numbers_[&unit];
    numbers_.erase(&unit);
    const UnitRun::Step &step = unit.lastStep();
    const QString name = u"%1 unité %2"_s.arg(unit.port().given).arg(numbers.inRun);
    verdicts_.push_back({name, step.exitCode, step.text});
    say(u"%1  unité %2 (n° %3 sur ce port)  %4 s  %5"_s.arg(unit.port().given)
            .arg(numbers.inRun)
            .arg(numbers.onPort)
            .arg(QString::number(static_cast<double>(unit.durationMs()) / kMsPerSecond, 'f', 1).replace(u'.', u','))
            .arg(oneLine(step.text))
        + (step.diagnostic ? u"  "_s + diagnosticText(*step.diagnostic) : QString()));
    if (const auto slow = unit.slowLinkWarning())
        say(unit.port().given + u"  "_s + oneLine(*slow));
}

void StationRun::onPortStopped()
{
    if (--running_ == 0)
        loop_.quit();
}

void StationRun::stopAll()
{
    for (const auto &port : ports_)
        port->stop();
}

} // namespace torsa::cli
