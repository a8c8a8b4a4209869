#include "DisplayMenu.h"

#include "DesignedControls.h"

#include <QActionGroup>

namespace torsa {

DisplayMenu::DisplayMenu(Session &session, PreviewSource &source, QWidget *parent)
    : QMenu(QStringLiteral("&Affichage"), parent)
    , session_(session)
    , source_(source)
{
    using design::menuItem;
    setObjectName(QStringLiteral("MENU_VISU"));
    menuAction()->setObjectName(objectName());
    items_ = {{
        {menuItem(this, u"MENU_VISU116", QStringLiteral("Afficheur 1 fois 16 caractères"), true),
         DisplayType::OneBySixteen},
        {menuItem(this, u"MENU_VISU120", QStringLiteral("Afficheur 1 fois 20 caractères"), true),
         DisplayType::OneByTwenty},
        {menuItem(this, u"MENU_VISU216", QStringLiteral("Afficheur 2 fois 16 caractères"), true),
         DisplayType::TwoBySixteen},
        {menuItem(this, u"MENU_VISU220", QStringLiteral("Afficheur 2 fois 20 caractères"), true),
         DisplayType::TwoByTwenty},
    }};
    // Choosing the display already chosen keeps its mark.
    auto *marks = new QActionGroup(this);
    for (const auto &[item, type] : items_) {
        marks->addAction(item);
        connect(item, &QAction::triggered, this, [this, type = type] { choose(type); });
    }
}

void DisplayMenu::choose(DisplayType type)
{
    preview_.close();
    session_.setDisplay(type);
    for (const auto &[item, itemType] : items_)
        item->setChecked(itemType == session_.display());
    preview_.open(type, source_);
}

} // namespace torsa
