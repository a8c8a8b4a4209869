#include "BoardLayout.h"

#include <algorithm>
#include <utility>

namespace torsa::cli {

using namespace Qt::StringLiterals;

namespace {

// A port name is never cut shorter than this: "…pts/12".
constexpr qsizetype kShortestPort = 7;
constexpr QChar kEllipsis = u'…';

// The name's tail, which tells ports apart (/dev/ttyUSB3, /dev/serial/by-id/...-port0).
QString shortened(const QString &port, qsizetype width)
{
    if (port.size() <= width)
        return port.leftJustified(width);
    return kEllipsis + port.right(std::max<qsizetype>(width, kShortestPort) - 1);
}

// portWidth: the port column with the activity, narrowWidth: without.
QString unitLine(const BoardUnit &unit, qsizetype portWidth, qsizetype narrowWidth, int width)
{
    QString whole = shortened(unit.port, portWidth) + unit.activity + unit.progress;
    if (width <= 0 || whole.size() <= width || unit.progress.isEmpty())
        return whole;
    // Too narrow even with the port cut short: the activity goes, the figures stay.
    return shortened(unit.port, narrowWidth) + unit.progress;
}

QString totalsLine(const std::vector<BoardUnit> &units)
{
    const auto count = [&units](BoardUnit::State state) {
        return std::ranges::count_if(units, [state](const BoardUnit &unit) { return unit.state == state; });
    };
    return u"%1 unités : %2 en cours, %3 bonnes, %4 en échec"_s.arg(units.size())
        .arg(count(BoardUnit::State::Running))
        .arg(count(BoardUnit::State::Succeeded))
        .arg(count(BoardUnit::State::Failed));
}

} // namespace

QStringList boardLines(const std::vector<BoardUnit> &units, int width, int height)
{
    qsizetype longestPort = 0;
    qsizetype longestTail = 0;
    qsizetype longestFigures = 0;
    for (const BoardUnit &unit : units) {
        longestPort = std::max(longestPort, unit.port.size());
        if (unit.state == BoardUnit::State::Running) {
            longestTail = std::max(longestTail, unit.activity.size() + unit.progress.size());
            longestFigures = std::max(longestFigures, unit.progress.size());
        }
    }
    const auto fitted = [&](qsizetype tail) {
        return width > 0 ? std::clamp(width - tail, std::min(kShortestPort, longestPort), longestPort) : longestPort;
    };
    const qsizetype portWidth = fitted(longestTail);
    const qsizetype narrowWidth = fitted(longestFigures);
    // The cursor rests on the line under the board: it takes a row too.
    const bool compact = height > 0 && std::cmp_greater_equal(units.size(), height);
    QStringList lines;
    for (const BoardUnit &unit : units) {
        if (!compact || unit.state != BoardUnit::State::Succeeded)
            lines << unitLine(unit, portWidth, narrowWidth, width);
    }
    if (!compact)
        return lines;
    lines = lines.first(std::clamp<qsizetype>(height - 2, 0, lines.size()));
    lines << totalsLine(units);
    return lines;
}

} // namespace torsa::cli
