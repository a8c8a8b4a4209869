#include "Interrupts.h"

#include <QMetaObject>

#include <atomic>
#include <windows.h>

namespace torsa::cli {

namespace {

// The console calls its handler on a thread of its own and with no context:
// the live instance is found here, and the request handed to its thread.
std::atomic<Interrupts *> &listening()
{
    static std::atomic<Interrupts *> instance{nullptr};
    return instance;
}

BOOL WINAPI onConsoleControl(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;
    Interrupts *target = listening().load();
    if (target == nullptr)
        return FALSE;
    QMetaObject::invokeMethod(
        target, [target] { Q_EMIT target->requested(); }, Qt::QueuedConnection);
    return TRUE;
}

} // namespace

struct Interrupts::Platform {
    bool installed = false;
};

Interrupts::Interrupts(QObject *parent) : QObject(parent), platform_(std::make_unique<Platform>())
{
    listening().store(this);
    platform_->installed = SetConsoleCtrlHandler(onConsoleControl, TRUE) != 0;
    if (!platform_->installed)
        listening().store(nullptr);
}

Interrupts::~Interrupts()
{
    if (platform_->installed)
        SetConsoleCtrlHandler(onConsoleControl, FALSE);
    listening().store(nullptr);
}

bool Interrupts::isValid() const
{
    return platform_->installed;
}

} // namespace torsa::cli
