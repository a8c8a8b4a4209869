#pragma once

// A preview window (V116, V120, V216 or V220): 40 cells imitating the unit's
// character display. Every 500 ms it reads the editor text and blink boxes from
// its source, cuts the text to 40 characters and redraws the cells, hiding the
// ticked characters every other tick.

#include "DisplayType.h"
#include "PreviewRender.h"
#include "PreviewSource.h"

#include <QWidget>

#include <array>

class QFrame;
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
    int blinkPhase() const { return PHASE_CLI; }

public Q_SLOTS:
    void Timer1_Timer();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Load();
    void showRuler();

    const DisplayType type_;
    PreviewSource &source_;
    int PHASE_CLI = 0;

    QFrame *Shape1 = nullptr;
    std::array<QLabel *, preview::kCellCount> Label{};  // Label1 to Label40
    LimitMarker *marker_ = nullptr;                      // Line1 to Line6
    QLabel *Label41 = nullptr;
    QTimer *Timer1 = nullptr;
};

} // namespace torsa
