// Figures for the editor: the program's launch until its main window is shown and
// idle, and the time "Valider" spends in its handler for a long message.
//
// The launch is measured across processes: this program starts itself as a child
// with the monotonic clock's reading; the child builds the application and the
// main window exactly as the program does, shows it, and prints the clock when its
// event loop first runs idle.

#include "MainWindow.h"
#include "ProgramIdentity.h"
#include "support/ScriptedPrompts.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

long long nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

int runChild(int argc, char *argv[])
{
    QApplication app(argc, argv);
    torsa::setProgramIdentity();
    torsa::MainWindow window;
    window.show();
    QTimer::singleShot(0, &app, [] {
        std::printf("%lld\n", nowNs());
        std::fflush(stdout);
        QCoreApplication::quit();
    });
    return QApplication::exec();
}

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1));
    return values[index];
}

void benchLaunch(const QString &self)
{
    constexpr int kRuns = 10;
    std::vector<double> ms;
    for (int i = 0; i < kRuns; ++i) {
        QProcess child;
        const long long start = nowNs();
        child.start(self, {QStringLiteral("--child")});
        child.waitForFinished(30000);
        const long long idle = child.readAllStandardOutput().trimmed().toLongLong();
        ms.push_back(static_cast<double>(idle - start) / 1e6);
    }
    std::printf("launch to main window shown and idle (offscreen), %d runs: median %.1f ms, max %.1f ms "
                "(target < 500 ms)\n",
                kRuns, percentile(ms, 0.5), percentile(ms, 1.0));
}

void benchValider()
{
    auto owned = std::make_unique<torsa::testing::ScriptedPrompts>();
    auto *prompts = owned.get();
    torsa::MainWindow window(std::move(owned));
    prompts->answers.push_back(true);
    window.findChild<QAction *>(QStringLiteral("MENU_ED_AVEC"))->trigger();

    auto *number = window.findChild<QScrollBar *>(QStringLiteral("DéfilementH1"));
    auto *text = window.findChild<QLineEdit *>(QStringLiteral("Texte1"));
    auto *valider = window.findChild<QPushButton *>(QStringLiteral("Commande6"));
    // 38 characters and two blink zones: 42 text cells.
    const QString message = QStringLiteral("Défaut pompe no3 : pression très haute");

    constexpr int kRuns = 2000;
    std::vector<double> us;
    for (int i = 0; i < kRuns; ++i) {
        number->setValue(i % 180);
        text->setText(message);
        for (int k : {2, 3, 4, 5, 20, 21, 22})
            window.findChild<QCheckBox *>(QStringLiteral("Coche%1").arg(k))->setChecked(true);
        QElapsedTimer timer;
        timer.start();
        valider->click();
        us.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e3);
    }
    std::printf("Valider, 38 characters + 2 blink zones (42 cells), %d runs: median %.1f us, p99 %.1f us "
                "(target < 1000 us)\n",
                kRuns, percentile(us, 0.5), percentile(us, 0.99));
    if (prompts->shown.size() != 1)
        std::printf("unexpected message: %s\n", qPrintable(prompts->lastText()));
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1 && QByteArray(argv[1]) == "--child")
        return runChild(argc, argv);
    QApplication app(argc, argv);
    benchLaunch(QCoreApplication::applicationFilePath());
    benchValider();
    return 0;
}
