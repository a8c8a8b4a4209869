#include "RunTexts.h"

#include "link/TransferTexts.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace torsa::production::text {

using namespace Qt::StringLiterals;

namespace {

constexpr double kMsPerSecond = 1000.0;

} // namespace

QString oneLine(QString text)
{
    static const QRegularExpression lineBreaks(u"[\r\n]+"_s);
    return text.replace(lineBreaks, u" "_s);
}

QString seconds(std::int64_t ms, int decimals)
{
    return QString::number(static_cast<double>(ms) / kMsPerSecond, 'f', decimals).replace(u'.', u',');
}

QString duration(std::int64_t ms)
{
    return seconds(ms, 1) + u" s"_s;
}

QString milliseconds(std::int64_t us)
{
    return seconds(us, 1);
}

QString slowLinkLine(const QString &port, const QString &warning)
{
    return (port.isEmpty() ? QString() : port + u"  "_s) + oneLine(warning);
}

QString progressFigures(int address, std::int64_t elapsedMs, int passesAfter)
{
    return link::text::percent(address) + u"  "_s + link::text::timeProgress(elapsedMs, address, passesAfter);
}

QString outcome(const UnitRun::Step &step)
{
    return oneLine(step.text) + (step.diagnostic ? u"  "_s + diagnosticText(*step.diagnostic) : QString());
}

QString waitingLine(const QString &port)
{
    return port + u"  en attente d'une unité"_s;
}

QString unitStartedLine(const QString &port, UnitNumbers numbers)
{
    return u"%1  unité %2 (n° %3 sur ce port) : en cours"_s.arg(port).arg(numbers.inRun).arg(numbers.onPort);
}

QString unitEndedLine(const QString &port, UnitNumbers numbers, std::int64_t durationMs, const UnitRun::Step &step)
{
    return u"%1  unité %2 (n° %3 sur ce port)  %4  %5"_s.arg(port)
        .arg(numbers.inRun)
        .arg(numbers.onPort)
        .arg(duration(durationMs), outcome(step));
}

QString unitName(const QString &port, int inRun)
{
    return u"%1 unité %2"_s.arg(port).arg(inRun);
}

QString verdictLine(const std::vector<UnitVerdict> &units)
{
    const auto isGood = [](const UnitVerdict &unit) { return unit.verdict == link::TransferVerdict::Success; };
    const auto good = std::ranges::count_if(units, isGood);
    const auto failed = static_cast<qsizetype>(units.size()) - good;
    QString line = u"Bilan : %1 %2, %3 en échec"_s.arg(good).arg(good == 1 ? u"bonne"_s : u"bonnes"_s).arg(failed);
    QStringList failures;
    for (const UnitVerdict &unit : units) {
        if (!isGood(unit))
            failures << unit.unit + u" : "_s + oneLine(unit.text);
    }
    if (!failures.isEmpty())
        line += u" ("_s + failures.join(u" ; "_s) + u')';
    return line;
}

} // namespace torsa::production::text
