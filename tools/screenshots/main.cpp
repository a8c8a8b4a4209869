// Takes the README's screenshots: the main window in prepared states, grabbed
// from the screen it runs on (Xvfb under `make screenshots`), as PNG files.

#include "MainWindow.h"
#include "PreviewWindow.h"
#include "ProgramIdentity.h"
#include "session/UserPrompts.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextStream>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <memory>

namespace {

// Answers every question with Yes, lets messages pass unseen, and picks the
// given file in file dialogs (Cancel without one).
class AnsweringPrompts final : public torsa::UserPrompts {
public:
    explicit AnsweringPrompts(std::optional<QString> file = std::nullopt) : file_(std::move(file)) {}
    bool askYesNo(const QString &, torsa::PromptIcon) override { return true; }
    torsa::Answer askYesNoCancel(const QString &, torsa::PromptIcon) override { return torsa::Answer::No; }
    void tell(const QString &, torsa::PromptIcon) override {}
    std::optional<QString> chooseFile(const torsa::FileRequest &) override { return file_; }

private:
    std::optional<QString> file_;
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
    child<QLineEdit>(window, QStringLiteral("Texte1"))
        ->setText(QStringLiteral("DEFAUT POMPE 3 - PRESSION HAUTE CUVE B"));
    for (int k : {2, 3, 4, 5, 6, 7, 28, 29, 30, 31, 32, 33, 34, 35})
        child<QCheckBox>(window, QStringLiteral("Coche%1").arg(k))->setChecked(true);
    child<QPushButton>(window, QStringLiteral("Commande6"))->click();
    child<QScrollBar>(window, QStringLiteral("DéfilementH1"))->setValue(3);
}

// The sample production file opened through "Ouvrir", message 2 (two lines,
// one blinking zone) in the editor, after a refresh tick.
void prepareSample(QWidget &window)
{
    child<QAction>(window, QStringLiteral("MENU_OUVIR"))->trigger();
    child<QScrollBar>(window, QStringLiteral("DéfilementH1"))->setValue(2);
}

// zel-sim as the unit, its line paced so that a transfer lasts some seconds.
class Simulator {
public:
    Simulator()
    {
        process_.start(QStringLiteral(ZEL_SIM_PATH),
                       {QStringLiteral("--load"), QStringLiteral(TORSA_SAMPLE_FILE), QStringLiteral("--baud"),
                        QString::number(kBaud)});
        while (process_.waitForReadyRead(kStartMs) && !process_.canReadLine()) {
        }
        if (process_.canReadLine())
            device_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
    }
    ~Simulator()
    {
        process_.terminate();
        process_.waitForFinished(kStartMs);
    }
    Simulator(const Simulator &) = delete;
    Simulator &operator=(const Simulator &) = delete;

    QString device() const { return device_; }

private:
    static constexpr int kBaud = 115200;
    static constexpr int kStartMs = 5000;
    QProcess process_;
    QString device_;
};

// Programming the sample into zel-sim through COM1 (pinned to the simulator by
// TORSA_COM1, as `make demo` does), grabbed at about 40 %, then stopped with
// "Arrêter".
int shootTransfer(const QDir &out)
{
    constexpr int kGrabAddress = 3300; // 40 % of the image
    constexpr int kGiveUpMs = 60000;
    const Simulator sim;
    if (sim.device().isEmpty())
        return 1;
    qputenv("TORSA_COM1", sim.device().toLocal8Bit());
    torsa::MainWindow window(std::make_unique<AnsweringPrompts>(QStringLiteral(TORSA_SAMPLE_FILE)));
    window.move(0, 0);
    window.show();
    prepareSample(window);
    child<QAction>(window, QStringLiteral("Menu_COM1"))->trigger();
    waitFor(700); // the listing of the sample, before the panel comes up

    auto *progress = child<QProgressBar>(window, QStringLiteral("ProgressBar1"));
    QEventLoop reached;
    QObject::connect(progress, &QProgressBar::valueChanged, &reached, [&](int address) {
        if (address >= kGrabAddress)
            reached.quit();
    });
    QTimer::singleShot(kGiveUpMs, &reached, &QEventLoop::quit);
    child<QAction>(window, QStringLiteral("MENU_WRITE"))->trigger();
    reached.exec();
    waitFor(150); // painted
    const bool saved = progress->value() >= kGrabAddress && grab(window, out, QStringLiteral("transfer-in-progress"));
    child<QPushButton>(window, QStringLiteral("Commande8"))->click();
    waitFor(500); // the transfer ends at its next byte
    qunsetenv("TORSA_COM1");
    return saved ? 0 : 1;
}

// Each preview window over a prepared editor: a with-PLC session, a text over
// two lines of the display (centred by "Centrer" where it can be) and one
// blinking zone; grabbed at the first tick (shown phase) and the second (hidden).
int shootPreviews(const QDir &out)
{
    struct Preview {
        QString item;
        QString text;
        std::initializer_list<int> blinkBoxes; // Coche numbers of the zone
    };
    const QString oneLine = QStringLiteral("DEFAUT POMPE 3 - PRESSION HAUTE CUVE B");
    const Preview previews[] = {
        {QStringLiteral("MENU_VISU116"), oneLine, {9, 10, 11, 12, 13, 14, 15}},
        {QStringLiteral("MENU_VISU120"), oneLine, {9, 10, 11, 12, 13, 14, 15}},
        {QStringLiteral("MENU_VISU216"), QStringLiteral("ALARME POMPE NUMERO 2"), {11, 12, 13, 14, 15}},
        {QStringLiteral("MENU_VISU220"), QStringLiteral("TEMPERATURE HAUTE FOUR 3"), {29, 30, 31, 32, 33, 34}},
    };

    int failures = 0;
    for (const Preview &p : previews) {
        torsa::MainWindow window(std::make_unique<AnsweringPrompts>());
        window.move(0, 0);
        window.show();
        child<QAction>(window, QStringLiteral("MENU_ED_AVEC"))->trigger();
        child<QLineEdit>(window, QStringLiteral("Texte1"))->setText(p.text);
        for (int k : p.blinkBoxes)
            child<QCheckBox>(window, QStringLiteral("Coche%1").arg(k))->setChecked(true);
        child<QAction>(window, p.item)->trigger();
        child<QPushButton>(window, QStringLiteral("Commande2"))->click();

        torsa::PreviewWindow *preview = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *open = qobject_cast<torsa::PreviewWindow *>(w); open && open->isVisible())
                preview = open;
        if (!preview) {
            ++failures;
            continue;
        }
        preview->move(0, window.frameGeometry().bottom() + 40); // clear of the main window
        auto *timer = preview->findChild<QTimer *>(QStringLiteral("Timer1"));
        for (int tick = 0; tick < 2; ++tick) {
            QEventLoop loop;
            QObject::connect(timer, &QTimer::timeout, &loop, &QEventLoop::quit);
            loop.exec();
            waitFor(100); // painted, well before the next tick
            const QString phase = preview->blinkPhase() != 0 ? QStringLiteral("shown") : QStringLiteral("hidden");
            failures += grab(*preview, out, QStringLiteral("preview-%1-%2").arg(preview->objectName(), phase)) ? 0 : 1;
        }
    }
    return failures;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    torsa::setProgramIdentity();
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
        torsa::MainWindow window(std::make_unique<AnsweringPrompts>(QStringLiteral(TORSA_SAMPLE_FILE)));
        window.move(0, 0);
        window.show();
        prepare(window);
        waitFor(900); // one refresh tick, and the window painted
        failures += grab(window, out, name) ? 0 : 1;
    };

    shoot(QStringLiteral("main-startup"), [](QWidget &) {});
    shoot(QStringLiteral("main-stored-message"), prepareStoredMessage);
    shoot(QStringLiteral("main-sample"), prepareSample);
    failures += shootTransfer(out);
    failures += shootPreviews(out);
    return failures == 0 ? 0 : 1;
}
