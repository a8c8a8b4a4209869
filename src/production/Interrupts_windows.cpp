#include "Interrupts.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <atomic>
#include <windows.h>

namespace torsa::production {

namespace {

// The console calls its handler on a thread of its own and with no context.
// The live instance is registered here, and only the main thread, on which it
// is destroyed, ever reaches it: the handler posts to the application, and the
// instance is looked up when that event runs, so that an instance destroyed in
// between is never touched.
std::atomic<Interrupts *> &listening()
{
    static std::atomic<Interrupts *> instance{nullptr};
    return instance;
}

void emitRequested()
{
    if (Interrupts *target = listening().load())
        Q_EMIT target->requested();
}

BOOL WINAPI onConsoleControl(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;
    if (listening().load() == nullptr)
        return FALSE;
    QMetaObject::invokeMethod(QCoreApplication::instance(), &emitRequested, Qt::QueuedConnection);
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

void Interrupts::holdBackOnEveryThread()
{}

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

} // namespace torsa::production
