#include "ProgressBoard.h"

#include "Console.h"
#include "Output.h"
#include "ProgressStyle.h"
#include "UnitRun.h"

#include "link/TransferTexts.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <utility>

namespace torsa::cli {

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

constexpr auto kRedrawInterval = 250ms;
constexpr double kMsPerSecond = 1000.0;
constexpr int kDurationWidth = 7; // "171,2 s"

// A message over several lines (CR LF inside) on the unit's one line.
QString oneLine(QString text)
{
    static const QRegularExpression lineBreaks(u"[\r\n]+"_s);
    return text.replace(lineBreaks, u" "_s);
}

QString duration(std::int64_t ms)
{
    return (QString::number(static_cast<double>(ms) / kMsPerSecond, 'f', 1).replace(u'.', u',') + u" s"_s)
        .rightJustified(kDurationWidth);
}

QString deviceOf(const UnitRun &unit)
{
    return unit.port().device.isEmpty() ? u"-"_s : unit.port().device;
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

QString verdictLine(const std::vector<UnitVerdict> &units)
{
    const auto good = std::ranges::count_if(units, [](const UnitVerdict &unit) { return unit.exitCode == 0; });
    const auto failed = static_cast<qsizetype>(units.size()) - good;
    QString line = u"Bilan : %1 %2, %3 en échec"_s.arg(good).arg(good == 1 ? u"bonne"_s : u"bonnes"_s).arg(failed);
    QStringList failures;
    for (const UnitVerdict &unit : units) {
        if (unit.exitCode != 0)
            failures << unit.port + u" : "_s + oneLine(unit.text);
    }
    if (!failures.isEmpty())
        line += u" ("_s + failures.join(u" ; "_s) + u')';
    return line;
}

namespace {} // namespace

ProgressBoard::ProgressBoard(std::vector<const UnitRun *> units, QObject *parent)
    : QObject(parent)
    , units_(std::move(units))
    , terminal_(stderrProgressStyle() == ProgressStyle::InPlace)
{
    for (const UnitRun *unit : units_) {
        portWidth_ = std::max(portWidth_, unit->port().given.size());
        deviceWidth_ = std::max(deviceWidth_, deviceOf(*unit).size());
    }
    redraw_.setInterval(kRedrawInterval);
    connect(&redraw_, &QTimer::timeout, this, &ProgressBoard::draw);
    if (terminal_)
        return;
    for (const UnitRun *unit : units_)
        reportProgressLines(*unit, this, portWidth_);
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
    std::vector<UnitVerdict> verdicts;
    for (const UnitRun *unit : units_) {
        text += summaryLine(*unit) + lineEnd;
        verdicts.push_back({unit->port().given, unit->lastStep().exitCode, unit->lastStep().text});
    }
    print(stderr, text + verdictLine(verdicts) + lineEnd);
}

void ProgressBoard::draw()
{
    rewind();
    std::vector<BoardUnit> shown;
    for (const UnitRun *unit : units_)
        shown.push_back(boardUnit(*unit));
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
        const bool good = unit.lastStep().exitCode == kExitSuccess;
        return {port,
                u"  "_s + oneLine(unit.lastStep().text),
                {},
                good ? BoardUnit::State::Succeeded : BoardUnit::State::Failed};
    }
    if (unit.kind() == link::TransferKind::LinkTest)
        return {port, {}, {}, BoardUnit::State::Running};
    // The activity text starts with a blank of its own.
    return {port, u' ' + link::text::activity(unit.kind()),
            link::text::percent(unit.address()) + u"  "_s
                + link::text::timeProgress(unit.elapsedMs(), unit.address(), unit.passesAfter()),
            BoardUnit::State::Running};
}

QString ProgressBoard::summaryLine(const UnitRun &unit) const
{
    return unit.port().given.leftJustified(portWidth_) + u"  "_s + deviceOf(unit).leftJustified(deviceWidth_) + u"  "_s
        + duration(unit.durationMs()) + u"  "_s + oneLine(unit.lastStep().text)
        + (unit.lastStep().diagnostic ? u"  "_s + diagnosticText(*unit.lastStep().diagnostic) : QString());
}

} // namespace torsa::cli
