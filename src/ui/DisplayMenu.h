#pragma once

// The "&Affichage" menu: the display the unit carries, which the session holds
// and the check mark of one of its four items shows, and the preview window of
// that display, opened afresh at each choice.

#include "PreviewHolder.h"
#include "PreviewSource.h"
#include "preview/DisplayType.h"
#include "session/Session.h"

#include <QMenu>

#include <array>
#include <utility>

class QAction;

namespace torsa {

class DisplayMenu : public QMenu {
    Q_OBJECT

public:
    // The previews read the editor's text and boxes from source.
    DisplayMenu(Session &session, PreviewSource &source, QWidget *parent);

private:
    void choose(DisplayType type);

    Session &session_;
    PreviewSource &source_;
    PreviewHolder preview_;
    std::array<std::pair<QAction *, DisplayType>, 4> items_{}; // MENU_VISU116 to MENU_VISU220
};

} // namespace torsa
