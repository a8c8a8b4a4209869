#pragma once

// SIGTERM and SIGINT, and SIGUSR1 and SIGUSR2 (a unit taken away, a new one
// put in), as events: they are blocked and read from a signalfd, so the
// simulator acts on them in its event loop and can save its EEPROM.

#include <QObject>
#include <QSocketNotifier>

#include <memory>

namespace zelsim {

class TerminationSignals : public QObject {
    Q_OBJECT

public:
    // Blocks the signals for the calling thread; call before any thread starts.
    static bool block();

    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

    bool isValid() const { return fd_ >= 0; }

Q_SIGNALS:
    void received(int signal);

private:
    void onReadable();

    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace zelsim
