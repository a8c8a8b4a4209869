#pragma once

// One byte command to the unit at a time, event-driven: the write command
// waits for STX ACK ETX, the read command for three bytes, each for at most
// 0.4 s from the moment the frame is handed to the port.

#include "Protocol.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <cstdint>

namespace torsa::link {

class LinkPort;

struct CommandResult {
    Status status = Status::Done; // Done or Timeout
    std::uint8_t data = 0;        // read: the byte read, or the data as passed
    bool portFailed = false;      // the port failed: reported as status 1 as well
    std::int64_t elapsedUs = 0;   // answered: from the frame handed to the port to its answer complete
};

class ByteCommand : public QObject {
    Q_OBJECT

public:
    explicit ByteCommand(LinkPort &port, QObject *parent = nullptr);

    // Both finish with finished(), always after they have returned.
    void startWrite(int address, std::uint8_t data);
    // data goes into byte 6 of the frame and comes back unchanged unless the
    // answer has STX in its third-last position.
    void startRead(int address, std::uint8_t data);

    bool isBusy() const { return busy_; }

Q_SIGNALS:
    void finished(const torsa::link::CommandResult &result);

private:
    void start(Command command, int address, std::uint8_t data);
    void onReceived();
    void onTimeout();
    void onPortLost();
    // Judges what arrived so far; true once the command is answered.
    bool answered();
    void finish(Status status, bool portFailed);

    LinkPort &port_;
    QTimer timeout_;
    QDeadlineTimer deadline_;
    QElapsedTimer sent_;
    QByteArray answer_;
    Command command_ = Command::Write;
    std::uint8_t data_ = 0;
    bool busy_ = false;    // from start until finished() has been emitted
    bool waiting_ = false; // the answer is still awaited
};

} // namespace torsa::link
