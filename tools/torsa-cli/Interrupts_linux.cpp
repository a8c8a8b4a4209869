#include "Interrupts.h"

#include "SignalEvents.h"

#include <csignal>

namespace torsa::cli {

// SIGINT and SIGTERM read from a signalfd. torsa-cli runs on one thread, so
// blocking them there is enough. They stay blocked to the end: a late Ctrl+C
// must not cut the report of the units short.
struct Interrupts::Platform {
    unixsignals::SignalEvents events{SIGINT, SIGTERM};
};

Interrupts::Interrupts(QObject *parent) : QObject(parent), platform_(std::make_unique<Platform>())
{
    connect(&platform_->events, &unixsignals::SignalEvents::received, this, &Interrupts::requested);
}

Interrupts::~Interrupts() = default;

bool Interrupts::isValid() const
{
    return platform_->events.isValid();
}

} // namespace torsa::cli
