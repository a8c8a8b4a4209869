// The 600 ms refresh with every message stored, 42 characters each: the tick on
// the image alone, and the window's tick with the listing unchanged and changed.

#include "MainWindow.h"
#include "session/Refresh.h"
#include "session/UserPrompts.h"
#include "store/AddressMap.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace torsa;

namespace {

constexpr int kRuns = 2000;

// 181 present messages whose 42 text cells are all characters (no end marker).
void fillAll(MemoryImage &image)
{
    for (int n = 0; n < address::kSlotCount; ++n) {
        image.set(address::unitCell(n), address::kPresenceFlag + n % 32);
        image.set(address::priorityCell(n), n);
        for (int i = 0; i < address::kTextCells; ++i)
            image.set(address::textStart(n) + i, 'A' + (n + i) % 26);
    }
    image.set(address::kModeCell, address::kModeLetterWithPlc);
}

void report(const char *what, const std::function<void(int)> &run)
{
    std::vector<double> micros;
    micros.reserve(kRuns);
    QElapsedTimer timer;
    for (int i = 0; i < kRuns; ++i) {
        timer.start();
        run(i);
        micros.push_back(static_cast<double>(timer.nsecsElapsed()) / 1000.0);
    }
    std::sort(micros.begin(), micros.end());
    const double median = micros[micros.size() / 2];
    const double p99 = micros[micros.size() * 99 / 100];
    std::printf("%-46s median %8.1f us   p99 %8.1f us   (%d runs)\n", what, median, p99, kRuns);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    MemoryImage image;
    fillAll(image);
    report("refresh tick on the image", [&image](int) { refresh::tick(image, SessionMode::WithPlc); });

    MainWindow window(std::make_unique<UnattendedPrompts>());
    UnattendedPrompts nobody;
    window.session().open(image, nobody);
    window.refresh();
    report("window tick, listing unchanged", [&window](int) { window.refresh(); });

    // Message 90 is typed anew at every tick: the listing is replaced.
    report("window tick, listing changed", [&window](int i) {
        window.session().setCurrentMessage(90);
        window.session().validate(1, 0, QString(QChar(u'a' + i % 26)), {});
        window.refresh();
    });
    return 0;
}
