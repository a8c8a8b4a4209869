#pragma once

// The "&Configurer" menu: COM1 to COM4, each opening its port at once with the
// unit's line settings and showing as its tip the device it stands for, then,
// listed afresh each time the menu opens, every other serial port present (an
// adapter Windows numbered COM7, a fifth adapter on Linux), and "Test liaison
// série". The port chosen is held here; the check marks show it, at most one.

#include "link/LinkPort.h"
#include "link/SerialPorts.h"
#include "session/UserPrompts.h"

#include <QMenu>

#include <array>
#include <functional>
#include <optional>
#include <vector>

class QAction;
class QActionGroup;

namespace torsa {

class PortMenu : public QMenu {
    Q_OBJECT

public:
    // Where the ports present are taken from as the menu opens.
    using PortLister = std::function<QList<link::PresentPort>()>;

    PortMenu(link::LinkPort &port, UserPrompts &prompts, QWidget *parent, PortLister listPorts = &link::presentPorts);

    // The COM item chosen (1 to 4); 0 when none is (or another port is).
    int chosenCom() const { return chosenCom_; }
    // Whether a port, COM1 to COM4 or another, was chosen and opened.
    bool hasChosenPort() const { return chosenCom_ != 0 || chosenOther_.has_value(); }
    // The chosen port as its item names it ("COM2", "COM7", "/dev/ttyUSB4").
    QString chosenPortName() const;
    // Off while a transfer runs: the port may not change under it.
    void setItemsEnabled(bool enabled);

Q_SIGNALS:
    void linkTestRequested();

private:
    void choose(int comNumber);
    void chooseOther(QAction *item);
    void openChosenPort();
    // The check marks of the choice.
    void showChoice();
    void updateStatusTips();
    void listOtherPorts();

    link::LinkPort &port_;
    UserPrompts &prompts_;
    PortLister listPorts_;
    std::array<QAction *, 4> comItems_{}; // Menu_COM1 to Menu_COM4
    std::vector<QAction *> otherItems_;   // the ports beyond them ("Menu_COM7")
    std::vector<QAction *> separators_;   // around those, while there are any
    QAction *linkTestItem_ = nullptr;
    QActionGroup *marks_ = nullptr; // every port item; none checked before a choice
    bool itemsEnabled_ = true;
    int chosenCom_ = 0;
    std::optional<link::ExtraPortItem> chosenOther_;
};

} // namespace torsa
