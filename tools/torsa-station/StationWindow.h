#pragma once

// The production station in a window: before the start the job (the
// production file with its facts, the ports, the log, the SHA-256 expected),
// then one tile per port, the totals in large figures, "Arrêter" and the
// verdict. What came from the command line cannot be changed; started with a
// file and ports it waits for units at once. Closing the window, SIGINT or
// SIGTERM end the run as "Arrêter" does, every unit's row in the log, before
// the window closes.

#include "StationArguments.h"

#include "Interrupts.h"
#include "ProductionRun.h"
#include "RunJob.h"
#include "RunLog.h"

#include <QMainWindow>
#include <QTimer>

#include <map>
#include <memory>
#include <optional>
#include <vector>

class QGridLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace torsa::station {

class TileWidget;

class StationWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit StationWindow(StationArguments given, QWidget *parent = nullptr);
    ~StationWindow() override;

    StationWindow(const StationWindow &) = delete;
    StationWindow &operator=(const StationWindow &) = delete;

    bool isRunning() const { return run_ != nullptr && !run_->isFinished(); }
    const production::ProductionRun *run() const { return run_.get(); }

    // Starts waiting for units on the ticked ports, once the job is sound;
    // otherwise says why in the window.
    void start();
    // Every port ends after its byte in progress; the verdict follows.
    void stop();

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QWidget *buildJob();
    QWidget *buildTotals();
    void connectParts();
    void lockGiven();
    void listPorts();
    void chooseFile();
    void chooseLog();
    void checkFile();
    QStringList tickedPorts() const;
    void say(const QString &text, bool failure);
    void layTiles();
    void refresh();
    void onFinished();

    const StationArguments given_;
    production::Interrupts interrupts_;
    production::JobFileCheck file_;
    QLineEdit *fileEdit_;
    QPushButton *fileButton_;
    QLabel *fileFacts_;
    QLineEdit *expectedEdit_;
    QLineEdit *logEdit_;
    QPushButton *logButton_;
    QListWidget *portList_;
    QWidget *job_;
    QPushButton *startButton_;
    QPushButton *stopButton_;
    QLabel *message_;
    QLabel *good_;
    QLabel *failed_;
    QLabel *running_;
    QWidget *tileArea_;
    QGridLayout *tileGrid_;
    std::vector<TileWidget *> tiles_;
    std::map<const production::RunPort *, QString> unavailable_;
    std::unique_ptr<production::RunLog> log_;
    std::unique_ptr<production::ProductionRun> run_;
    QTimer redraw_;
    bool closeWhenStopped_ = false;
};

} // namespace torsa::station
