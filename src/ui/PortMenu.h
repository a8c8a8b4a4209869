#pragma once

// The "&Configurer" menu: COM1 to COM4, each opening its port at once with the
// unit's line settings (the check mark is the only record of the port in use),
// each showing as its tip the device it stands for, and "Test liaison série".

#include "session/UserPrompts.h"
#include "link/LinkPort.h"

#include <QMenu>

#include <array>

class QAction;

namespace torsa {

class PortMenu : public QMenu {
    Q_OBJECT

public:
    PortMenu(link::LinkPort &port, UserPrompts &prompts, QWidget *parent);

    // The number of the checked COM item; 0 when none is.
    int chosenCom() const;
    // Off while a transfer runs: the port may not change under it.
    void setItemsEnabled(bool enabled);

Q_SIGNALS:
    void linkTestRequested();

private:
    void choose(int comNumber);
    void openChosenPort();
    void updateStatusTips();

    link::LinkPort &port_;
    UserPrompts &prompts_;
    std::array<QAction *, 4> comItems_{}; // Menu_COM1 to Menu_COM4
    QAction *linkTestItem_ = nullptr;
};

} // namespace torsa
