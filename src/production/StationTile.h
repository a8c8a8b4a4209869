#pragma once

// What a station's tile shows of one port, as a pure function of the port and
// of its last unit: the port, the unit's number on it, its state (its colour),
// the state's text, the diagnostic of a failure, the pass with its percentage,
// the time left, and the slow-adapter warning. A failed unit stays failed until
// the next unit is put on the port; a good one until it is taken away.

#include "RunPort.h"
#include "RunTexts.h"

#include <QString>

#include <cstdint>

namespace torsa::production {

struct TileView {
    enum class State : std::uint8_t { Waiting, Unavailable, Running, Good, Failed };

    State state = State::Waiting;
    QString port;
    QString unit;     // "Unité n° 2 sur ce port"; empty before the first
    QString status;   // "En attente d'une unité", "Programmation (passe 1 sur 2)", the closing message
    QString detail;   // a failure's address and bytes; while running the percentage
    QString time;     // "Temps écoulé 0:39, reste 0:47" while running
    QString warning;  // the slow-adapter warning, on one line
    int percent = -1; // while running
};

// numbersOnPort: those of the port's last unit; unavailableText: why the port
// cannot be opened, while it cannot.
TileView tileOf(const RunPort &port, text::UnitNumbers numbersOnPort, const QString &unavailableText);

} // namespace torsa::production
