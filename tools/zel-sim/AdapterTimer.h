#pragma once

// The PC's end of the line as a USB adapter with a latency timer makes it (an
// FTDI chip holds what it receives until its timer runs out, 16 ms by
// default): the unit's answers reach the PC only at the timer's ticks. The
// chip restarts its timer whenever it sends and sends (its two status bytes at
// least) whenever the timer runs out, so the ticks keep to one grid. The
// timer can be changed while the simulator runs, as a driver does when it
// honours a low-latency request, through a control file holding its value in ms.

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>

namespace zelsim {

class AdapterTimer : public QObject {
    Q_OBJECT

public:
    // 0 ms: no adapter, answers go out as they are ready. The control file,
    // when given, is written with the timer's value and watched for another.
    AdapterTimer(int ms, QString controlPath, bool verbose, QObject *parent = nullptr);

    // When bytes ready at readyNs (on the simulator's clock) reach the PC.
    qint64 releaseAt(qint64 readyNs) const { return releaseAt(readyNs, ms_); }
    static qint64 releaseAt(qint64 readyNs, int ms);
    int ms() const { return ms_; }

private:
    void onControlChanged();

    QFileSystemWatcher watcher_;
    QString controlPath_;
    int ms_ = 0;
    bool verbose_ = false;
};

} // namespace zelsim
