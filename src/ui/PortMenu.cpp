#include "PortMenu.h"

#include "DesignedControls.h"
#include "link/PortNames.h"
#include "link/TransferTexts.h"

#include <QActionGroup>

#include <algorithm>
#include <utility>

namespace torsa {

using namespace Qt::StringLiterals;

PortMenu::PortMenu(link::LinkPort &port, UserPrompts &prompts, QWidget *parent, PortLister listPorts)
    : QMenu(QStringLiteral("&Configurer"), parent)
    , port_(port)
    , prompts_(prompts)
    , listPorts_(std::move(listPorts))
{
    setObjectName(QStringLiteral("Menu_configuration"));
    menuAction()->setObjectName(objectName());
    comItems_ = {design::menuItem(this, u"Menu_COM1", QStringLiteral("COM1"), true),
                 design::menuItem(this, u"Menu_COM2", QStringLiteral("COM2"), true),
                 design::menuItem(this, u"Menu_COM3", QStringLiteral("COM3"), true),
                 design::menuItem(this, u"Menu_COM4", QStringLiteral("COM4"), true)};
    linkTestItem_ = design::menuItem(this, u"Menu_test", QStringLiteral("Test liaison série"));
    marks_ = new QActionGroup(this);
    marks_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (QAction *item : comItems_)
        marks_->addAction(item);

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
    chosenCom_ = comNumber;
    chosenOther_.reset();
    showChoice();
    openChosenPort();
}

void PortMenu::chooseOther(QAction *item)
{
    chosenCom_ = 0;
    chosenOther_ = link::ExtraPortItem{item->data().toString(), item->statusTip()};
    showChoice();
    openChosenPort();
}

QString PortMenu::chosenPortName() const
{
    return chosenOther_ ? chosenOther_->name : u"COM"_s + QString::number(chosenCom_);
}

void PortMenu::openChosenPort()
{
    // The port in use is closed first, whichever it is; a failure leaves no
    // port chosen.
    port_.close();
    const QString name = chosenPortName();
    const QString device = chosenOther_ ? link::deviceOfPort(name) : link::comDevice(chosenCom_);
    const link::LinkPort::OpenResult opened = port_.open(device);
    if (!opened.ok()) {
        prompts_.tell(link::text::portOpenFailed(name, opened.error), PromptIcon::Critical);
        chosenCom_ = 0;
        chosenOther_.reset();
        showChoice();
        return;
    }
    prompts_.tell(link::text::portOpened(name), PromptIcon::Information);
}

void PortMenu::showChoice()
{
    for (std::size_t i = 0; i < comItems_.size(); ++i)
        comItems_[i]->setChecked(static_cast<int>(i) + link::kFirstCom == chosenCom_);
    for (QAction *other : otherItems_)
        other->setChecked(chosenOther_ && other->data().toString() == chosenOther_->name);
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

void PortMenu::listOtherPorts()
{
    // The chosen port stays while it is held: a port unplugged since shows
    // itself gone when a transfer fails on it (the port is then closed).
    const std::vector<link::ExtraPortItem> items =
        link::extraPortItems(listPorts_(), link::comDevicesNow(), port_.isOpen() ? chosenOther_ : std::nullopt);
    if (chosenOther_ && std::ranges::find(items, chosenOther_->name, &link::ExtraPortItem::name) == items.end())
        chosenOther_.reset();

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
        item->setEnabled(itemsEnabled_);
        marks_->addAction(item);
        item->setStatusTip(port.statusTip);
        item->setToolTip(port.statusTip);
        insertAction(linkTestItem_, item);
        otherItems_.push_back(item);
    }
    separators_.push_back(insertSeparator(linkTestItem_));
    showChoice();
}

} // namespace torsa
