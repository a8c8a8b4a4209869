#include "PortMenu.h"

#include "DesignedControls.h"
#include "link/PortNames.h"
#include "link/TransferTexts.h"

#include <algorithm>

namespace torsa {

using namespace Qt::StringLiterals;

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
    // The other ports' items come and go; the menu hands on whichever is chosen.
    connect(this, &QMenu::triggered, this, [this](QAction *item) {
        if (std::ranges::find(otherItems_, item) != otherItems_.end())
            chooseOther(item);
    });
    // The window has no status bar: the device an item stands for shows as its tool tip.
    setToolTipsVisible(true);
    // Adapters come and go while the program runs: the list is taken as the menu opens.
    connect(this, &QMenu::aboutToShow, this, &PortMenu::updateStatusTips);
    connect(this, &QMenu::aboutToShow, this, &PortMenu::listOtherPorts);
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

bool PortMenu::hasChosenPort() const
{
    return chosenCom() != 0 || checkedOther().has_value();
}

void PortMenu::setItemsEnabled(bool enabled)
{
    itemsEnabled_ = enabled;
    for (QAction *item : comItems_)
        item->setEnabled(enabled);
    for (QAction *item : otherItems_)
        item->setEnabled(enabled);
    linkTestItem_->setEnabled(enabled);
}

void PortMenu::choose(int comNumber)
{
    for (std::size_t i = 0; i < comItems_.size(); ++i)
        comItems_[i]->setChecked(static_cast<int>(i) + link::kFirstCom == comNumber);
    for (QAction *other : otherItems_)
        other->setChecked(false);
    openChosenPort();
}

void PortMenu::chooseOther(QAction *item)
{
    for (QAction *com : comItems_)
        com->setChecked(false);
    for (QAction *other : otherItems_)
        other->setChecked(other == item);
    openChosenPort();
}

void PortMenu::openChosenPort()
{
    port_.close();
    if (const std::optional<link::ExtraPortItem> other = checkedOther(); chosenCom() == 0 && other) {
        const link::LinkPort::OpenResult opened = port_.open(link::deviceOfPort(other->name));
        if (!opened.ok()) {
            prompts_.tell(link::text::portOpenFailed(other->name, opened.error), PromptIcon::Critical);
            for (QAction *item : otherItems_)
                item->setChecked(false);
            return;
        }
        prompts_.tell(link::text::portOpened(other->name), PromptIcon::Information);
        return;
    }
    const int number = std::max(chosenCom(), link::kFirstCom);
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

std::optional<link::ExtraPortItem> PortMenu::checkedOther() const
{
    const auto checked = std::ranges::find_if(otherItems_, &QAction::isChecked);
    if (checked == otherItems_.end())
        return std::nullopt;
    return link::ExtraPortItem{(*checked)->data().toString(), (*checked)->statusTip()};
}

void PortMenu::listOtherPorts()
{
    // The checked port stays while it is held: a port unplugged since shows
    // itself gone when a transfer fails on it (the port is then closed).
    const std::optional<link::ExtraPortItem> checked = checkedOther();
    const std::vector<link::ExtraPortItem> items =
        link::extraPortItems(link::presentPorts(), link::comDevicesNow(), port_.isOpen() ? checked : std::nullopt);

    for (QAction *old : otherItems_)
        delete old;
    for (QAction *old : separators_)
        delete old;
    otherItems_.clear();
    separators_.clear();
    if (items.empty())
        return;

    separators_.push_back(insertSeparator(linkTestItem_));
    for (const link::ExtraPortItem &port : items) {
        auto *item = new QAction(port.name, this);
        item->setObjectName(u"Menu_"_s + port.name);
        item->setData(port.name);
        item->setCheckable(true);
        item->setChecked(checked && checked->name == port.name);
        item->setEnabled(itemsEnabled_);
        item->setStatusTip(port.statusTip);
        item->setToolTip(port.statusTip);
        insertAction(linkTestItem_, item);
        otherItems_.push_back(item);
    }
    separators_.push_back(insertSeparator(linkTestItem_));
}

} // namespace torsa
