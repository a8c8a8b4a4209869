#include "Interrupts.h"

#include <QSocketNotifier>

#include <csignal>
#include <pthread.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace torsa::production {

namespace {

sigset_t interruptSet()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

} // namespace

// The signals are blocked and read from a signalfd. torsa-cli runs on one
// thread, so blocking them there is enough; a window, whose toolkit starts
// threads, holds them back before it starts (holdBackOnEveryThread). They stay blocked to the end: a
// late Ctrl+C must not cut the report of the units short.
struct Interrupts::Platform {
    int fd = -1;
    std::unique_ptr<QSocketNotifier> notifier;

    ~Platform()
    {
        notifier.reset();
        if (fd >= 0)
            ::close(fd);
    }
};

Interrupts::Interrupts(QObject *parent) : QObject(parent), platform_(std::make_unique<Platform>())
{
    const sigset_t set = interruptSet();
    if (::pthread_sigmask(SIG_BLOCK, &set, nullptr) != 0)
        return;
    platform_->fd = ::signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
    if (platform_->fd < 0) {
        ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
        return;
    }
    platform_->notifier = std::make_unique<QSocketNotifier>(platform_->fd, QSocketNotifier::Read);
    connect(platform_->notifier.get(), &QSocketNotifier::activated, this, [this] {
        signalfd_siginfo info{};
        bool any = false;
        while (::read(platform_->fd, &info, sizeof info) == static_cast<ssize_t>(sizeof info))
            any = true;
        if (any)
            Q_EMIT requested();
    });
}

Interrupts::~Interrupts() = default;

void Interrupts::holdBackOnEveryThread()
{
    const sigset_t set = interruptSet();
    ::pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

bool Interrupts::isValid() const
{
    return platform_->notifier != nullptr;
}

} // namespace torsa::production
