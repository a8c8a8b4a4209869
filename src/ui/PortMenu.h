#pragma once

// The "&Configurer" menu: COM1 to COM4, each opening its port at once with the
// unit's line settings (the check mark is the only record of the port in use),
// each showing as its tip the device it stands for, then, listed afresh each
// time the menu opens, every other serial port present (an adapter Windows
// numbered COM7, a fifth adapter on Linux), and "Test liaison série".

#include "UserPrompts.h"
#include "link/LinkPort.h"
#include "link/SerialPorts.h"

#include <QMenu>

#include <array>
#include <optional>
#include <vector>

class QAction;

namespace torsa {

class PortMenu : public QMenu {
    Q_OBJECT

public:
    PortMenu(link::LinkPort &port, UserPrompts &prompts, QWidget *parent);

    // The number of the checked COM item; 0 when none is (or another port is).
    int chosenCom() const;
    // Whether any item, COM1 to COM4 or another port, is checked.
    bool hasChosenPort() const;
    // Off while a transfer runs: the port may not change under it.
    void setItemsEnabled(bool enabled);

Q_SIGNALS:
    void linkTestRequested();

private:
    void choose(int comNumber);
    void chooseOther(QAction *item);
    void openChosenPort();
    void updateStatusTips();
    void listOtherPorts();
    std::optional<link::ExtraPortItem> checkedOther() const;

    link::LinkPort &port_;
    UserPrompts &prompts_;
    std::array<QAction *, 4> comItems_{}; // Menu_COM1 to Menu_COM4
    std::vector<QAction *> otherItems_;   // the ports beyond them ("Menu_COM7")
    std::vector<QAction *> separators_;   // around those, while there are any
    QAction *linkTestItem_ = nullptr;
    bool itemsEnabled_ = true;
};

} // namespace torsa
