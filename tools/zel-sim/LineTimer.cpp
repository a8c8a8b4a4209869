#include "LineTimer.h"

#include <cstdint>
#include <cstdio>
#include <sys/timerfd.h>
#include <unistd.h>

namespace zelsim {

namespace {

constexpr qint64 kNsPerSecond = 1'000'000'000;

itimerspec onceIn(qint64 waitNs)
{
    // An all-zero value would disarm the timer instead of firing it.
    const qint64 ns = waitNs > 0 ? waitNs : 1;
    itimerspec spec{};
    spec.it_value.tv_sec = static_cast<time_t>(ns / kNsPerSecond);
    spec.it_value.tv_nsec = static_cast<long>(ns % kNsPerSecond);
    return spec;
}

} // namespace

LineTimer::LineTimer(QObject *parent)
    : QObject(parent)
    , fd_(::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC))
{
    if (fd_ < 0) {
        std::perror("zel-sim: timerfd_create");
        return;
    }
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &LineTimer::onExpired);
}

LineTimer::~LineTimer()
{
    if (fd_ >= 0)
        ::close(fd_);
}

void LineTimer::start(qint64 waitNs)
{
    const itimerspec spec = onceIn(waitNs);
    if (fd_ < 0 || ::timerfd_settime(fd_, 0, &spec, nullptr) != 0)
        std::perror("zel-sim: timerfd_settime");
}

void LineTimer::stop()
{
    const itimerspec disarmed{};
    // Harmless if it failed (a stray expiry finds nothing due), but said.
    if (fd_ >= 0 && ::timerfd_settime(fd_, 0, &disarmed, nullptr) != 0)
        std::perror("zel-sim: timerfd_settime");
}

void LineTimer::onExpired()
{
    std::uint64_t expirations = 0;
    // Nothing to read: a start or stop came between expiry and this call.
    if (::read(fd_, &expirations, sizeof expirations) != static_cast<ssize_t>(sizeof expirations))
        return;
    Q_EMIT timeout();
}

} // namespace zelsim
