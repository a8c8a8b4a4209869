#include "ProductionRun.h"

#include "Interrupts.h"
#include "Output.h"
#include "ProgressBoard.h"
#include "RunLog.h"

#include "files/FileTexts.h"

#include <algorithm>
#include <optional>

namespace torsa::cli {

ProductionRun::ProductionRun(const UnitRun::Job &job, const std::vector<UnitRun::Port> &ports, RunLog *log,
                             QObject *parent)
    : QObject(parent)
    , file_(job.file)
    , verifyAfter_(job.verifyAfter)
    , log_(log)
{
    for (const UnitRun::Port &port : ports) {
        auto unit = std::make_unique<UnitRun>(port, job);
        const UnitRun *unitSeen = unit.get();
        connect(unit.get(), &UnitRun::stepFinished, this,
                [this, unitSeen](const UnitRun::Step &step) { onStepFinished(*unitSeen, step); });
        connect(unit.get(), &UnitRun::finished, this, &ProductionRun::onUnitFinished);
        units_.push_back(std::move(unit));
    }
    if (units_.size() == 1) {
        const UnitRun *unit = units_.front().get();
        connect(unit, &UnitRun::progress, this,
                [this, unit](int address) { line_.show(unit->kind(), address, unit->elapsedMs()); });
    }
}

bool ProductionRun::isProductionRun() const
{
    return units_.size() > 1 || verifyAfter_ || log_ != nullptr;
}

int ProductionRun::exec()
{
    // One port on its own keeps its old ways, down to Ctrl+C ending the
    // process at once.
    std::optional<Interrupts> interrupts;
    if (isProductionRun()) {
        interrupts.emplace();
        connect(&*interrupts, &Interrupts::requested, this, &ProductionRun::stopAll);
    }
    std::optional<ProgressBoard> board;
    if (units_.size() > 1) {
        std::vector<const UnitRun *> shown;
        for (const auto &unit : units_)
            shown.push_back(unit.get());
        board.emplace(std::move(shown));
    }

    running_ = units_.size();
    for (const auto &unit : units_)
        unit->start();
    if (board)
        board->start();
    loop_.exec();
    if (board)
        board->finish();
    // After the units' own lines, one line per port whose adapter held the answers.
    for (const auto &unit : units_)
        if (const auto slow = unit->slowLinkWarning())
            say((units_.size() > 1 ? unit->port().given + QStringLiteral("  ") : QString())
                + QString(*slow).replace(u'\n', u' '));

    // A run whose record is incomplete ends as a file that could not be
    // written, whatever its units did: each unit's own line says that.
    if (logFailed_) {
        say(filetexts::saveError(log_->path()));
        return kExitUnreadableFile;
    }
    const auto failed =
        std::ranges::find_if(units_, [](const auto &unit) { return unit->lastStep().exitCode != kExitSuccess; });
    return failed != units_.end() ? (*failed)->lastStep().exitCode : kExitSuccess;
}

void ProductionRun::onStepFinished(const UnitRun &unit, const UnitRun::Step &step)
{
    if (log_ != nullptr && !log_->append(unit.port(), file_, step))
        logFailed_ = true;
    if (units_.size() == 1) {
        line_.end();
        say(step.text);
        if (step.diagnostic)
            say(diagnosticText(*step.diagnostic));
    }
}

void ProductionRun::onUnitFinished()
{
    if (--running_ == 0)
        loop_.quit();
}

void ProductionRun::stopAll()
{
    for (const auto &unit : units_)
        unit->stop();
}

} // namespace torsa::cli
