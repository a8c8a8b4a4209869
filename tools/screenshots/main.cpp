// Takes the README's screenshots: the main window in prepared states, grabbed
// from the screen it runs on (Xvfb under `make screenshots`), as PNG files.

#include "editor/MainWindow.h"
#include "editor/UserPrompts.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextStream>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <memory>

namespace {

// Answers every question with Yes and lets messages pass unseen.
class AnsweringPrompts final : public torsa::UserPrompts {
public:
    bool askYesNo(const QString &, torsa::PromptIcon) override { return true; }
    void tell(const QString &, torsa::PromptIcon) override {}
    std::optional<QString> chooseFile(const torsa::FileRequest &) override { return std::nullopt; }
};

template <typename T>
T *child(QWidget &window, const QString &name)
{
    return window.findChild<T *>(name);
}

void waitFor(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

bool grab(QWidget &window, const QDir &out, const QString &name)
{
    const QString path = out.filePath(name + QStringLiteral(".png"));
    const bool saved = window.screen()->grabWindow(window.winId()).save(path);
    QTextStream(stdout) << (saved ? "wrote " : "could not write ") << path << Qt::endl;
    return saved;
}

// A with-PLC session showing message 3, stored with two blinking zones.
void prepareStoredMessage(QWidget &window)
{
    child<QAction>(window, QStringLiteral("MENU_ED_AVEC"))->trigger();
    child<QScrollBar>(window, QStringLiteral("DéfilementH1"))->setValue(3);
    child<QScrollBar>(window, QStringLiteral("DéfilementH2"))->setValue(5);
    child<QScrollBar>(window, QStringLiteral("DéfilementH3"))->setValue(12);
    child<QLineEdit>(window, QStringLiteral("Texte1"))->setText(QStringLiteral("DEFAUT POMPE 3 - PRESSION HAUTE CUVE B"));
    for (int k : {2, 3, 4, 5, 6, 7, 28, 29, 30, 31, 32, 33, 34, 35})
        child<QCheckBox>(window, QStringLiteral("Coche%1").arg(k))->setChecked(true);
    child<QPushButton>(window, QStringLiteral("Commande6"))->click();
    child<QScrollBar>(window, QStringLiteral("DéfilementH1"))->setValue(3);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("TORSA"));
    const QStringList args = QApplication::arguments();
    if (args.size() != 2) {
        std::fputs("usage: torsa-screenshots OUTPUT_DIRECTORY\n", stderr);
        return 64;
    }
    const QDir out(args.at(1));
    if (!QDir().mkpath(out.absolutePath()))
        return 1;

    int failures = 0;
    const auto shoot = [&](const QString &name, const std::function<void(QWidget &)> &prepare) {
        torsa::MainWindow window(std::make_unique<AnsweringPrompts>());
        window.move(0, 0);
        window.show();
        prepare(window);
        waitFor(900); // one refresh tick, and the window painted
        failures += grab(window, out, name) ? 0 : 1;
    };

    shoot(QStringLiteral("main-startup"), [](QWidget &) {});
    shoot(QStringLiteral("main-stored-message"), prepareStoredMessage);
    return failures == 0 ? 0 : 1;
}
