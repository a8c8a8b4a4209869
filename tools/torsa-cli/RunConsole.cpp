#include "RunConsole.h"

#include "Interrupts.h"
#include "Output.h"
#include "ProgressBoard.h"
#include "ProgressStyle.h"
#include "RunLog.h"

#include "files/FileTexts.h"

#include <QEventLoop>

#include <algorithm>
#include <optional>

namespace torsa::cli {

using namespace Qt::StringLiterals;
using production::ProductionRun;
using production::RunPort;
using production::UnitRun;
namespace text = production::text;

RunConsole::RunConsole(const UnitRun::Job &job, const std::vector<UnitRun::Port> &ports, ProductionRun::Shape shape,
                       production::RunLog *log, QObject *parent)
    : QObject(parent)
    , run_(job, ports, shape, log)
    , verifyAfter_(job.verifyAfter)
{}

bool RunConsole::takesInterrupts() const
{
    return run_.shape() == ProductionRun::Shape::UnitAfterUnit || run_.ports().size() > 1 || verifyAfter_
        || run_.log() != nullptr;
}

int RunConsole::exec()
{
    // One port on its own keeps its old ways, down to Ctrl+C ending the
    // process at once.
    std::optional<production::Interrupts> interrupts;
    if (takesInterrupts()) {
        interrupts.emplace();
        connect(&*interrupts, &production::Interrupts::requested, &run_, &ProductionRun::stop);
    }
    QEventLoop loop;
    connect(&run_, &ProductionRun::finished, &loop, &QEventLoop::quit);
    const bool station = run_.shape() == ProductionRun::Shape::UnitAfterUnit;
    if (station)
        showStation();
    else if (run_.ports().size() == 1)
        showOneUnit();
    std::optional<ProgressBoard> board;
    if (!station && run_.ports().size() > 1)
        board.emplace(run_);
    run_.start();
    if (board)
        board->start();
    loop.exec();
    if (board)
        board->finish();
    // After the units' own lines, one line per port whose adapter held the answers.
    if (!station) {
        const bool several = run_.ports().size() > 1;
        for (const auto &port : run_.ports()) {
            if (const auto slow = port->unit()->slowLinkWarning())
                say(text::slowLinkLine(several ? port->port().given : QString(), *slow));
        }
    }
    if (station)
        say(text::verdictLine(run_.verdicts()));
    return exitStatus();
}

void RunConsole::showStation()
{
    connect(&run_, &ProductionRun::waiting, this,
            [](const RunPort &port) { say(text::waitingLine(port.port().given)); });
    connect(&run_, &ProductionRun::unavailable, this, [](const RunPort &port, const QString &failure) {
        say(port.port().given + u"  "_s + text::oneLine(failure));
    });
    connect(&run_, &ProductionRun::unitStarted, this, [this](const RunPort &port, const UnitRun &unit) {
        if (stderrProgressStyle() == ProgressStyle::Lines)
            reportProgressLines(unit, this);
        say(text::unitStartedLine(port.port().given, run_.numbersOf(unit)));
    });
    connect(&run_, &ProductionRun::unitFinished, this, [this](const RunPort &port, const UnitRun &unit) {
        say(text::unitEndedLine(port.port().given, run_.numbersOf(unit), unit.durationMs(), unit.lastStep()));
        if (const auto slow = unit.slowLinkWarning())
            say(text::slowLinkLine(port.port().given, *slow));
    });
}

void RunConsole::showOneUnit()
{
    connect(&run_, &ProductionRun::unitStarted, this, [this](const RunPort &, const UnitRun &unit) {
        connect(&unit, &UnitRun::progress, this,
                [this, &unit](int address) { line_.show(unit.kind(), address, unit.elapsedMs(), unit.passesAfter()); });
    });
    connect(&run_, &ProductionRun::stepFinished, this, [this](const UnitRun &, const UnitRun::Step &step) {
        line_.end();
        say(step.text);
        if (step.diagnostic)
            say(production::diagnosticText(*step.diagnostic));
    });
}

int RunConsole::exitStatus() const
{
    // A run whose record is incomplete ends as a file that could not be
    // written, whatever its units did: each unit's own line says that.
    if (run_.logFailed()) {
        say(filetexts::saveError(run_.log()->path()));
        return kExitUnreadableFile;
    }
    if (run_.shape() == ProductionRun::Shape::UnitAfterUnit)
        return run_.failedUnits() == 0 ? kExitSuccess : kExitCommunicationFailure;
    const auto &ports = run_.ports();
    const auto failed = std::ranges::find_if(ports, [](const auto &port) { return !port->unit()->succeeded(); });
    return failed != ports.end() ? production::exitStatusOf((*failed)->unit()->lastStep().verdict) : kExitSuccess;
}

} // namespace torsa::cli
