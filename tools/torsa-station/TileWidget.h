#pragma once

// One port's tile in the station window, readable from a step away: the port,
// the unit's number on it, its state in colour (grey waiting, blue in progress
// with the pass and its percentage, green good, red failed with the reason and
// the diagnostic), the time left and the slow-adapter warning.

#include "StationTile.h"

#include <QFrame>

class QLabel;
class QProgressBar;

namespace torsa::station {

class TileWidget : public QFrame {
    Q_OBJECT

public:
    explicit TileWidget(const QString &port, QWidget *parent = nullptr);

    void showTile(const production::TileView &tile);
    // The texts' size, from the number of tiles in a row.
    void setScale(int pointSize);

    production::TileView::State state() const { return state_; }

private:
    QLabel *port_;
    QLabel *unit_;
    QLabel *status_;
    QLabel *detail_;
    QLabel *time_;
    QLabel *warning_;
    QProgressBar *progress_;
    production::TileView::State state_ = production::TileView::State::Waiting;
};

} // namespace torsa::station
