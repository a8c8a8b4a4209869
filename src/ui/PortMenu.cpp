#include "PortMenu.h"

#include "DesignedControls.h"
#include "link/PortNames.h"
#include "link/TransferTexts.h"

#include <algorithm>

namespace torsa {

PortMenu::PortMenu(link::LinkPort &port, UserPrompts &prompts, QWidget *parent)
    : QMenu(QStringLiteral("&Configurer"), parent)
    , port_(port)
    , prompts_(prompts)
{
    setObjectName(QStringLiteral("Menu_configuration"));
    menuAction()->setObjectName(objectName());
    comItems_ = {design::menuItem(this, u"Menu_COM1", QStringLiteral("COM1"), true),
                 design::menuItem(this, u"Menu_COM2", QStringLiteral("COM2"), true),
                 design::menuItem(this, u"Menu_COM3", QStringLiteral("COM3"), true),
                 design::menuItem(this, u"Menu_COM4", QStringLiteral("COM4"), true)};
    linkTestItem_ = design::menuItem(this, u"Menu_test", QStringLiteral("Test liaison série"));

    for (std::size_t i = 0; i < comItems_.size(); ++i)
        connect(comItems_[i], &QAction::triggered, this, [this, i] { choose(static_cast<int>(i) + link::kFirstCom); });
    connect(linkTestItem_, &QAction::triggered, this, &PortMenu::linkTestRequested);
    // The window has no status bar: the device an item stands for shows as its tool tip.
    setToolTipsVisible(true);
    connect(this, &QMenu::aboutToShow, this, &PortMenu::updateStatusTips);
    updateStatusTips();
}

int PortMenu::chosenCom() const
{
    // The last checked item wins, as the port number is taken.
    int number = 0;
    for (std::size_t i = 0; i < comItems_.size(); ++i) {
        if (comItems_[i]->isChecked())
            number = static_cast<int>(i) + link::kFirstCom;
    }
    return number;
}

void PortMenu::setItemsEnabled(bool enabled)
{
    for (QAction *item : comItems_)
        item->setEnabled(enabled);
    linkTestItem_->setEnabled(enabled);
}

void PortMenu::choose(int comNumber)
{
    for (std::size_t i = 0; i < comItems_.size(); ++i)
        comItems_[i]->setChecked(static_cast<int>(i) + link::kFirstCom == comNumber);
    openChosenPort();
}

void PortMenu::openChosenPort()
{
    const int number = std::max(chosenCom(), link::kFirstCom);
    port_.close();
    const link::LinkPort::OpenResult opened = port_.open(link::comDevice(number));
    if (!opened.ok()) {
        prompts_.tell(link::text::portOpenFailed(number, opened.error), PromptIcon::Critical);
        comItems_.at(static_cast<std::size_t>(number - link::kFirstCom))->setChecked(false);
        return;
    }
    prompts_.tell(link::text::portOpened(number), PromptIcon::Information);
}

void PortMenu::updateStatusTips()
{
    for (std::size_t i = 0; i < comItems_.size(); ++i) {
        const int number = static_cast<int>(i) + link::kFirstCom;
        const QString tip = link::comStatusTip(number);
        comItems_[i]->setStatusTip(tip);
        comItems_[i]->setToolTip(tip);
    }
}

} // namespace torsa
