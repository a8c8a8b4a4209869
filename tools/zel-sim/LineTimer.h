#pragma once

// A single-shot timer of nanosecond resolution on a Linux timerfd. Qt's timers
// count whole milliseconds, which is coarser than what the simulator models:
// an answer released half a millisecond off an adapter's tick shifts the PC's
// next command onto the tick after, a whole tick per command.

#include <QObject>
#include <QSocketNotifier>

namespace zelsim {

class LineTimer : public QObject {
    Q_OBJECT

public:
    explicit LineTimer(QObject *parent = nullptr);
    ~LineTimer() override;
    LineTimer(const LineTimer &) = delete;
    LineTimer &operator=(const LineTimer &) = delete;

    // Times out once, waitNs from now (at once for 0 or less); a new start
    // replaces the one pending.
    void start(qint64 waitNs);
    void stop();

Q_SIGNALS:
    void timeout();

private:
    void onExpired();

    int fd_ = -1;
    QSocketNotifier *notifier_ = nullptr;
};

} // namespace zelsim
