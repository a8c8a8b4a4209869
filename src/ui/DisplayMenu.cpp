#include "DisplayMenu.h"

#include "DesignedControls.h"

namespace torsa {

DisplayMenu::DisplayMenu(PreviewSource &source, QWidget *parent)
    : QMenu(QStringLiteral("&Affichage"), parent)
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
    for (const auto &[item, type] : items_)
        connect(item, &QAction::triggered, this, [this, type = type] { choose(type); });
}

DisplayType DisplayMenu::displayType() const
{
    for (const auto &[item, type] : items_) {
        if (item->isChecked())
            return type;
    }
    return DisplayType::None;
}

void DisplayMenu::choose(DisplayType type)
{
    preview_.closeAll();
    for (const auto &[item, itemType] : items_)
        item->setChecked(itemType == type);
    preview_.open(type, source_);
}

} // namespace torsa
