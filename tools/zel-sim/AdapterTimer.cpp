#include "AdapterTimer.h"

#include <QFile>

#include <cstdio>
#include <utility>

namespace zelsim {

namespace {

constexpr qint64 kNsPerMs = 1'000'000;
constexpr int kMaxTimerMs = 255;

} // namespace

AdapterTimer::AdapterTimer(int ms, QString controlPath, bool verbose, QObject *parent)
    : QObject(parent)
    , controlPath_(std::move(controlPath))
    , ms_(ms)
    , verbose_(verbose)
{
    if (controlPath_.isEmpty())
        return;
    QFile control(controlPath_);
    if (control.open(QIODevice::WriteOnly | QIODevice::Truncate))
        control.write(QByteArray::number(ms_) + '\n');
    control.close();
    watcher_.addPath(controlPath_);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &AdapterTimer::onControlChanged);
}

qint64 AdapterTimer::releaseAt(qint64 readyNs, int ms)
{
    if (ms <= 0)
        return readyNs;
    const qint64 tick = ms * kNsPerMs;
    return (readyNs + tick - 1) / tick * tick;
}

void AdapterTimer::onControlChanged()
{
    QFile control(controlPath_);
    if (!control.open(QIODevice::ReadOnly))
        return;
    bool ok = false;
    const int ms = control.readAll().trimmed().toInt(&ok);
    // Half-written (truncated, not yet written) is no value.
    if (!ok || ms < 0 || ms > kMaxTimerMs || ms == ms_)
        return;
    ms_ = ms;
    if (verbose_)
        std::fprintf(stderr, "zel-sim: adapter latency timer now %d ms\n", ms_);
}

} // namespace zelsim
