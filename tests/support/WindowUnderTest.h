#pragma once

// A main window with scripted prompts, its controls found by object name.

#include "MainWindow.h"
#include "support/ScriptedPrompts.h"

#include <QAction>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QString>
#include <QUrl>

#include <memory>

namespace torsa::testing {

class WindowUnderTest {
public:
    ScriptedPrompts *prompts = nullptr;
    std::unique_ptr<MainWindow> window;

    WindowUnderTest()
    {
        auto owned = std::make_unique<ScriptedPrompts>();
        prompts = owned.get();
        window = std::make_unique<MainWindow>(std::move(owned));
    }

    // The child of that name; the test stops when there is none.
    template <typename T>
    T *get(const QString &name) const
    {
        T *child = window->findChild<T *>(name);
        if (!child)
            qFatal("no child %s", qPrintable(name));
        return child;
    }
    template <typename T>
    T *get(const char *name) const
    {
        return get<T>(QString::fromUtf8(name));
    }

    QAction *item(const char *name) const { return get<QAction>(name); }
    QLineEdit *text() const { return get<QLineEdit>("Texte1"); }
    QString caption(const char *name) const { return get<QLabel>(name)->text(); }
    void click(const char *button) const { get<QPushButton>(button)->click(); }
    // Opens and closes the menu, as a user looking at it does.
    void look(const char *menu) const
    {
        get<QMenu>(menu)->popup({});
        get<QMenu>(menu)->hide();
    }

    // Files dropped onto the window, or onto a text box it watches, as a file
    // manager drops them (Qt delivers no drop without a drag in progress: the
    // handlers are called as its drag manager calls them); false when refused.
    bool drop(const QList<QUrl> &urls, QObject *box = nullptr) const
    {
        QMimeData data;
        data.setUrls(urls);
        QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        event.ignore();
        QObject *handler = window.get();
        (void)(box ? handler->eventFilter(box, &event) : handler->event(&event));
        return event.isAccepted();
    }

    // "Nouveau" > that item, answered Yes or No.
    void newSession(const char *item, bool yes = true)
    {
        prompts->answers.push_back(yes);
        this->item(item)->trigger();
    }
};

} // namespace torsa::testing
