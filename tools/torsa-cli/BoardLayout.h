#pragma once

// The board of a run of several units, fitted to the terminal: a pure
// function of the units, the width and the height, so that a resized terminal
// gets a board that fits at the next redraw. A line too wide loses the port
// name's head first, then the activity text; the percentage, the elapsed time
// and the time left always stay. More units than rows: only the units in
// progress or failed, and a totals line.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace torsa::cli {

struct BoardUnit {
    enum class State : std::uint8_t { Running, Succeeded, Failed };

    QString port;
    QString activity; // " Programmation en cours...", or the closing message on one line
    QString progress; // "  45%  effectuée  Temps écoulé 0:39, reste 0:47"; empty once ended
    State state = State::Running;
};

// The lines of the board (no line ends); width or height 0: unknown, no limit.
QStringList boardLines(const std::vector<BoardUnit> &units, int width, int height);

} // namespace torsa::cli
