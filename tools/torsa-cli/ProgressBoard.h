#pragma once

// What a run of several units shows on stderr: on a terminal one progress line
// per unit (port, percentage, elapsed time, time left), redrawn in place; at the
// end one line per unit: the port as given, the device it stood for, how long
// it took and the message that ended it, then the run's verdict. Without a
// terminal, a line per unit every tenth of a pass instead of the board.

#include "BoardLayout.h"
#include "ProductionRun.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <vector>

namespace torsa::cli {

// For a script watching the run: a line on stderr each time the unit's pass
// reaches another tenth, while the context lives.
void reportProgressLines(const production::UnitRun &unit, QObject *context, qsizetype portWidth = 0);

class ProgressBoard : public QObject {
    Q_OBJECT

public:
    // Made before the run starts, so that no unit's first figures are missed.
    explicit ProgressBoard(const production::ProductionRun &run, QObject *parent = nullptr);

    // Once the run has started: draws the board and redraws it while the
    // units run (on a terminal only).
    void start();
    // The closing lines, over the board on a terminal.
    void finish();

private:
    void draw();
    static BoardUnit boardUnit(const production::UnitRun &unit);
    QString summaryLine(const production::UnitRun &unit) const;
    // Moves back up over the board, once drawn.
    void rewind();

    const production::ProductionRun &run_;
    QTimer redraw_;
    qsizetype portWidth_ = 0;
    qsizetype deviceWidth_ = 0;
    bool terminal_;
    qsizetype drawnLines_ = 0;
};

} // namespace torsa::cli
