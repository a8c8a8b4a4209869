#include "ProgressBoard.h"

#include "Console.h"
#include "Output.h"
#include "ProgressStyle.h"
#include "RunTexts.h"
#include "UnitRun.h"

#include "link/TransferTexts.h"

#include <QStringList>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <utility>

namespace torsa::cli {

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using production::ProductionRun;
using production::RunPort;
using production::UnitRun;

namespace {

constexpr auto kRedrawInterval = 250ms;
constexpr int kDurationWidth = 7; // "171,2 s"

QString deviceOf(const UnitRun::Port &port)
{
    return port.device.isEmpty() ? u"-"_s : port.device;
}

// Without a terminal, a unit's progress is a line every tenth of a pass.
constexpr int kPercentPerLine = 10;

} // namespace

void reportProgressLines(const UnitRun &unit, QObject *context, qsizetype portWidth)
{
    QObject::connect(&unit, &UnitRun::progress, context,
                     [&unit, portWidth, step = -1, kind = unit.kind()](int address) mutable {
                         const int reached = link::text::percentNumber(address) / kPercentPerLine;
                         if (reached == step && kind == unit.kind())
                             return;
                         step = reached;
                         kind = unit.kind();
                         print(stderr,
                               unit.port().given.leftJustified(portWidth) + link::text::activity(kind)
                                   + link::text::percent(address) + u'\n');
                     });
}

ProgressBoard::ProgressBoard(const ProductionRun &run, QObject *parent)
    : QObject(parent)
    , run_(run)
    , terminal_(stderrProgressStyle() == ProgressStyle::InPlace)
{
    for (const auto &port : run_.ports()) {
        portWidth_ = std::max(portWidth_, port->port().given.size());
        deviceWidth_ = std::max(deviceWidth_, deviceOf(port->port()).size());
    }
    redraw_.setInterval(kRedrawInterval);
    connect(&redraw_, &QTimer::timeout, this, &ProgressBoard::draw);
    if (terminal_)
        return;
    connect(&run_, &ProductionRun::unitStarted, this,
            [this](const RunPort &, const UnitRun &unit) { reportProgressLines(unit, this, portWidth_); });
}

void ProgressBoard::start()
{
    if (!terminal_)
        return;
    // A line wider than the terminal is cut rather than wrapped: the board
    // moves back up one line per unit.
    print(stderr, u"\x1b[?7l"_s);
    draw();
    redraw_.start();
}

void ProgressBoard::finish()
{
    redraw_.stop();
    rewind();
    // On a terminal the closing lines take the board's place, wrapped again
    // when too long: nothing moves back over them.
    const QString lineEnd = terminal_ ? u"\x1b[K\n"_s : u"\n"_s;
    QString text = terminal_ ? u"\x1b[?7h"_s : QString();
    std::vector<production::text::UnitVerdict> verdicts;
    for (const auto &port : run_.ports()) {
        const UnitRun &unit = *port->unit();
        text += summaryLine(unit) + lineEnd;
        verdicts.push_back({unit.port().given, unit.lastStep().verdict, unit.lastStep().text});
    }
    print(stderr, text + production::text::verdictLine(verdicts) + lineEnd);
}

void ProgressBoard::draw()
{
    rewind();
    std::vector<BoardUnit> shown;
    for (const auto &port : run_.ports())
        shown.push_back(boardUnit(*port->unit()));
    // Read at every redraw: the terminal may have been resized.
    const console::Size size = console::terminalSize(stderr);
    const QStringList lines = boardLines(shown, size.columns, size.rows);
    QString text;
    for (const QString &line : lines)
        text += line + u"\x1b[K\n"_s;
    // A board shorter than the last one leaves nothing of it below.
    print(stderr, text + u"\x1b[J"_s);
    drawnLines_ = lines.size();
}

void ProgressBoard::rewind()
{
    if (drawnLines_ > 0)
        print(stderr, u"\x1b[%1A\r"_s.arg(drawnLines_));
    drawnLines_ = 0;
}

BoardUnit ProgressBoard::boardUnit(const UnitRun &unit)
{
    const QString &port = unit.port().given;
    if (unit.isFinished()) {
        const bool good = unit.succeeded();
        return {port,
                u"  "_s + production::text::oneLine(unit.lastStep().text),
                {},
                good ? BoardUnit::State::Succeeded : BoardUnit::State::Failed};
    }
    if (unit.kind() == link::TransferKind::LinkTest)
        return {port, {}, {}, BoardUnit::State::Running};
    // The activity text starts with a blank of its own.
    return {port, u' ' + link::text::activity(unit.kind()),
            production::text::progressFigures(unit.address(), unit.elapsedMs(), unit.passesAfter()),
            BoardUnit::State::Running};
}

QString ProgressBoard::summaryLine(const UnitRun &unit) const
{
    return unit.port().given.leftJustified(portWidth_) + u"  "_s + deviceOf(unit.port()).leftJustified(deviceWidth_)
        + u"  "_s + production::text::duration(unit.durationMs()).rightJustified(kDurationWidth) + u"  "_s
        + production::text::outcome(unit.lastStep());
}

} // namespace torsa::cli
