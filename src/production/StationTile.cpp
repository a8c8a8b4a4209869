#include "StationTile.h"

#include "link/TransferTexts.h"

namespace torsa::production {

using namespace Qt::StringLiterals;
using link::TransferKind;

namespace {

QString passText(const UnitRun &unit)
{
    const bool twoPasses = unit.kind() == TransferKind::Verify || unit.passesAfter() > 0;
    const int pass = unit.kind() == TransferKind::Verify ? 2 : 1;
    const QString activity = link::text::activity(unit.kind()).trimmed();
    return twoPasses ? u"%1 (passe %2 sur 2)"_s.arg(activity).arg(pass) : activity;
}

} // namespace

TileView tileOf(const RunPort &port, text::UnitNumbers numbersOnPort, const QString &unavailableText)
{
    TileView tile;
    tile.port = port.port().given;
    const UnitRun *unit = port.unit();
    if (unit != nullptr)
        tile.unit = u"Unité n° %1 sur ce port"_s.arg(numbersOnPort.onPort);
    if (const auto slow = unit != nullptr ? unit->slowLinkWarning() : std::nullopt)
        tile.warning = text::oneLine(*slow);
    if (unit != nullptr && !unit->isFinished()) {
        tile.state = TileView::State::Running;
        tile.status = passText(*unit);
        tile.percent = link::text::percentNumber(unit->address());
        tile.detail = u"%1 %"_s.arg(tile.percent);
        tile.time = link::text::timeProgress(unit->elapsedMs(), unit->address(), unit->passesAfter());
        return tile;
    }
    const bool failed = unit != nullptr && !unit->succeeded();
    // A good unit is shown until it is taken away, a failed one until the next comes.
    if (unit != nullptr && (failed || port.isLeaving())) {
        tile.state = failed ? TileView::State::Failed : TileView::State::Good;
        tile.status = text::oneLine(unit->lastStep().text);
        if (unit->lastStep().diagnostic)
            tile.detail = diagnosticText(*unit->lastStep().diagnostic);
        return tile;
    }
    if (port.isUnavailable()) {
        tile.state = TileView::State::Unavailable;
        tile.status = text::oneLine(unavailableText);
        return tile;
    }
    tile.status = u"En attente d'une unité"_s;
    return tile;
}

} // namespace torsa::production
