#include "Interrupts.h"

#include "SignalEvents.h"

#include <csignal>

namespace torsa::production {

// SIGINT and SIGTERM read from a signalfd. torsa-cli runs on one thread, so
// blocking them there is enough; a window, whose toolkit starts threads, holds
// them back before it starts (holdBackOnEveryThread). They stay blocked to the
// end: a late Ctrl+C must not cut the report of the units short.
struct Interrupts::Platform {
    unixsignals::SignalEvents events{SIGINT, SIGTERM};
};

Interrupts::Interrupts(QObject *parent) : QObject(parent), platform_(std::make_unique<Platform>())
{
    connect(&platform_->events, &unixsignals::SignalEvents::received, this, &Interrupts::requested);
}

Interrupts::~Interrupts() = default;

void Interrupts::holdBackOnEveryThread()
{
    unixsignals::SignalEvents::block({SIGINT, SIGTERM});
}

bool Interrupts::isValid() const
{
    return platform_->events.isValid();
}

} // namespace torsa::production
