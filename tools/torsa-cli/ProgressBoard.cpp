#include "ProgressBoard.h"

#include "Output.h"
#include "ProgressStyle.h"
#include "UnitRun.h"

#include "link/TransferTexts.h"

#include <QRegularExpression>

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

} // namespace

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
    for (const UnitRun *unit : units_)
        text += summaryLine(*unit) + lineEnd;
    print(stderr, text);
}

void ProgressBoard::draw()
{
    rewind();
    QString text;
    for (const UnitRun *unit : units_)
        text += progressLine(*unit) + u"\x1b[K\n"_s;
    print(stderr, text);
    drawn_ = true;
}

void ProgressBoard::rewind()
{
    if (drawn_)
        print(stderr, u"\x1b[%1A\r"_s.arg(units_.size()));
}

QString ProgressBoard::progressLine(const UnitRun &unit) const
{
    QString port = unit.port().given.leftJustified(portWidth_);
    if (unit.isFinished())
        return port + u"  "_s + oneLine(unit.lastStep().text);
    if (unit.kind() == link::TransferKind::LinkTest)
        return port;
    // The activity text starts with a blank of its own.
    return port + u' ' + link::text::activity(unit.kind()) + link::text::percent(unit.address()) + u"  "_s
        + link::text::timeProgress(unit.elapsedMs(), unit.address());
}

QString ProgressBoard::summaryLine(const UnitRun &unit) const
{
    return unit.port().given.leftJustified(portWidth_) + u"  "_s + deviceOf(unit).leftJustified(deviceWidth_) + u"  "_s
        + duration(unit.durationMs()) + u"  "_s + oneLine(unit.lastStep().text);
}

} // namespace torsa::cli
