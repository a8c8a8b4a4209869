#pragma once

// Controls are made as the window designs give them: each carries its design
// name as Qt object name (the tests and the help find it by that name) and its
// position in twips. The builders set the name beside the C++ identifier, so
// that the control table can be read there.

#include "Twips.h"

#include <QAction>
#include <QMenu>
#include <QString>

namespace torsa::design {

// Names the widget and places it at (left, top, width, height) in twips.
template <typename Widget>
Widget *place(Widget *widget, const char16_t *name, int left, int top, int width, int height)
{
    widget->setObjectName(QString::fromUtf16(name));
    widget->setGeometry(twips::rect(left, top, width, height));
    return widget;
}

inline QAction *menuItem(QMenu *menu, const char16_t *name, const QString &caption, bool checkable = false)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QString::fromUtf16(name));
    action->setCheckable(checkable);
    return action;
}

// A menu and the item that opens it carry the same name.
inline QMenu *menu(QWidget *parent, const char16_t *name, const QString &caption)
{
    auto *menu = new QMenu(caption, parent);
    menu->setObjectName(QString::fromUtf16(name));
    menu->menuAction()->setObjectName(QString::fromUtf16(name));
    return menu;
}

} // namespace torsa::design
