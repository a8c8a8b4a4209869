#pragma once

// The simulated unit: an EEPROM of 8192 bytes behind the byte protocol, with
// the line paced at a baud rate if asked, and the faults a real unit or cable
// shows (silence, wrong reads, split or noisy answers, sudden death).

#include "AdapterTimer.h"
#include "FrameParser.h"
#include "LineTimer.h"
#include "SimOptions.h"

#include "store/AddressMap.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QSocketNotifier>

#include <array>
#include <cstdint>
#include <deque>
#include <vector>

namespace zelsim {

class UnitSimulator : public QObject {
    Q_OBJECT

public:
    using Eeprom = std::array<std::uint8_t, torsa::address::kImageSize>;

    UnitSimulator(int masterFd, SimOptions options, QObject *parent = nullptr);

    // Empty on success, else the reason.
    QString load(const QString &path);

    const Eeprom &eeprom() const { return eeprom_; }
    // The unit leaves the line: what comes is dropped, nothing answers.
    void takeAway();
    // A new unit on the line, blank or the --load file; empty on success.
    QString putIn();
    bool isPresent() const { return !absent_; }
    // The unit on the line (or the last one taken away), from 1.
    int unitNumber() const { return unitNumber_; }
    qint64 framesHandled() const { return framesHandled_; }
    // With --gap-log: for each frame that followed an answer, the time from the
    // answer leaving to the frame's first byte arriving.
    const std::vector<qint64> &answerGapsNs() const { return answerGapsNs_; }

Q_SIGNALS:
    // A frame for the --die-at address arrived; the unit has gone quiet.
    void died(int address);

private:
    // Bytes on their way, with the time (ns on the monotonic clock) at which
    // their last byte has crossed the line.
    struct Chunk {
        QByteArray bytes;
        qint64 at = 0;
    };

    void onReadable();
    void onTimer();
    void receive(const QByteArray &bytes, qint64 at);
    void handle(const Frame &frame, qint64 at);
    void answer(const QByteArray &bytes, qint64 readyAt, qint64 minimumGapNs);
    void writeOut(const QByteArray &bytes);
    void rearm();
    qint64 now() const { return clock_.nsecsElapsed(); }
    bool paced() const { return byteNs_ > 0 || options_.delayMs > 0 || adapter_.ms() > 0; }

    int master_;
    SimOptions options_;
    Eeprom eeprom_{};
    FrameParser parser_;
    QSocketNotifier notifier_;
    LineTimer timer_;
    AdapterTimer adapter_;
    QElapsedTimer clock_;
    std::deque<Chunk> incoming_;
    std::deque<Chunk> outgoing_;
    qint64 byteNs_ = 0;
    qint64 rxFreeAt_ = 0;
    qint64 txFreeAt_ = 0;
    qint64 framesHandled_ = 0;
    qint64 answeredAt_ = -1; // the last answer's write, until a frame follows
    std::vector<qint64> answerGapsNs_;
    bool dead_ = false;
    bool absent_ = false;
    int unitNumber_ = 1;
};

} // namespace zelsim
