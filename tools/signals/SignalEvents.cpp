#include "SignalEvents.h"

#include <csignal>
#include <pthread.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace torsa::unixsignals {

namespace {

sigset_t setOf(std::initializer_list<int> signalNumbers)
{
    sigset_t set;
    sigemptyset(&set);
    for (const int number : signalNumbers)
        sigaddset(&set, number);
    return set;
}

} // namespace

bool SignalEvents::block(std::initializer_list<int> signalNumbers)
{
    const sigset_t set = setOf(signalNumbers);
    return ::pthread_sigmask(SIG_BLOCK, &set, nullptr) == 0;
}

SignalEvents::SignalEvents(std::initializer_list<int> signalNumbers, QObject *parent) : QObject(parent)
{
    const sigset_t set = setOf(signalNumbers);
    if (::pthread_sigmask(SIG_BLOCK, &set, nullptr) != 0)
        return;
    fd_ = ::signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
    if (fd_ < 0) {
        ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &SignalEvents::onReadable);
}

SignalEvents::~SignalEvents()
{
    notifier_.reset();
    if (fd_ >= 0)
        ::close(fd_);
}

void SignalEvents::onReadable()
{
    signalfd_siginfo info{};
    while (::read(fd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info))
        Q_EMIT received(static_cast<int>(info.ssi_signo));
}

} // namespace torsa::unixsignals
