#pragma once

// Linux signals as events of the event loop: blocked for the calling thread and
// read from a signalfd, so that a program acts on them between two events (ends
// its units after their byte, saves what it holds) instead of inside a handler.
// Shared by torsa-cli (Ctrl+C, SIGTERM) and zel-sim (those, and a unit taken
// away or put in).

#include <QObject>
#include <QSocketNotifier>

#include <initializer_list>
#include <memory>

namespace torsa::unixsignals {

class SignalEvents : public QObject {
    Q_OBJECT

public:
    // Blocks them for the calling thread; a program with threads calls it
    // before any starts, so that no thread is left to take them.
    static bool block(std::initializer_list<int> signalNumbers);

    // Blocks them (again) and reads them. When no signalfd can be made they are
    // unblocked, and act as usual.
    explicit SignalEvents(std::initializer_list<int> signalNumbers, QObject *parent = nullptr);
    ~SignalEvents() override;

    SignalEvents(const SignalEvents &) = delete;
    SignalEvents &operator=(const SignalEvents &) = delete;

    bool isValid() const { return fd_ >= 0; }

Q_SIGNALS:
    void received(int signalNumber);

private:
    void onReadable();

    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace torsa::unixsignals
