#pragma once

// A preview window (V116, V120, V216 or V220): 40 cells imitating the unit's
// character display. Every 500 ms it reads the editor text and blink boxes from
// its source, cuts the text to 40 characters and redraws the cells, hiding the
// ticked characters every other tick.

#include "PreviewSource.h"
#include "preview/DisplayType.h"
#include "preview/PreviewRender.h"

#include <QWidget>

#include <array>

class QLabel;
class QTimer;

namespace torsa {

class LimitMarker;

class PreviewWindow : public QWidget {
    Q_OBJECT

public:
    // A top-level window without owner, deleted when closed. The source must
    // outlive it (PreviewHolder sees to that).
    PreviewWindow(DisplayType type, PreviewSource &source);
    ~PreviewWindow() override;

    DisplayType displayType() const { return type_; }
    // 0 before the first tick and in the hidden phase, -1 in the shown phase.
    int blinkPhase() const { return phase_; }

    // One tick: the next blink phase, the editor text cut to 40 characters, the cells.
    void tick();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void showRuler();

    const DisplayType type_;
    PreviewSource &source_;
    int phase_ = 0; // the blink phase: 0 or its complement -1

    std::array<QLabel *, preview::kCellCount> cells_{}; // Label1 to Label40
    QTimer *timer_ = nullptr;                           // Timer1
};

} // namespace torsa
