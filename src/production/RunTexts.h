#pragma once

// The texts of a production run, composed here once for torsa-cli's lines and
// board and for the station window's tiles: a message on one line, seconds
// with a decimal comma, the progress figures, a unit's closing line and the
// run's verdict.

#include "UnitRun.h"

#include "link/TransferVerdict.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace torsa::production::text {

// A message over several lines (CR LF inside) on one line.
QString oneLine(QString text);

// Seconds with a decimal comma, as a French reader and spreadsheet read them.
QString seconds(std::int64_t ms, int decimals);
// "9,8 s".
QString duration(std::int64_t ms);

// "  45%  effectuée  Temps écoulé 0:39, reste 0:47": the time left counts the
// passes still to come after this one (the verification after programming).
QString progressFigures(int address, std::int64_t elapsedMs, int passesAfter);

// Microseconds as milliseconds, one decimal, a decimal comma.
QString milliseconds(std::int64_t us);

// The slow-adapter warning on one line, behind the port when there are several.
QString slowLinkLine(const QString &port, const QString &warning);

// The message that ended the unit on one line, with where it stopped.
QString outcome(const UnitRun::Step &step);

// A unit's number in the run and on its port.
struct UnitNumbers {
    int inRun = 0;
    int onPort = 0;
};

// "/tmp/zel1  en attente d'une unité"
QString waitingLine(const QString &port);
// "/tmp/zel1  unité 1 (n° 1 sur ce port) : en cours"
QString unitStartedLine(const QString &port, UnitNumbers numbers);
// "/tmp/zel1  unité 1 (n° 1 sur ce port)  9,8 s  Vérification terminée avec succés !"
QString unitEndedLine(const QString &port, UnitNumbers numbers, std::int64_t durationMs, const UnitRun::Step &step);

// How one unit of a run ended, as the verdict line names it.
struct UnitVerdict {
    QString unit; // its port, and in a station its number: "/tmp/zel2 unité 2"
    link::TransferVerdict verdict = link::TransferVerdict::Success;
    QString text;
};
QString unitName(const QString &port, int inRun);

// The run's last line: how many units ended well, how many failed, and each
// failed unit with the message that ended it.
QString verdictLine(const std::vector<UnitVerdict> &units);

} // namespace torsa::production::text
