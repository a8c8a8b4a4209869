#include "ByteCommand.h"

#include "LinkPort.h"

namespace torsa::link {

ByteCommand::ByteCommand(LinkPort &port, QObject *parent) : QObject(parent), port_(port)
{
    timeout_.setSingleShot(true);
    timeout_.setTimerType(Qt::PreciseTimer);
    connect(&timeout_, &QTimer::timeout, this, &ByteCommand::onTimeout);
    connect(&port_, &LinkPort::received, this, &ByteCommand::onReceived);
    connect(&port_, &LinkPort::lost, this, &ByteCommand::onPortLost);
}

void ByteCommand::startWrite(int address, std::uint8_t data)
{
    start(Command::Write, address, data);
}

void ByteCommand::startRead(int address, std::uint8_t data)
{
    start(Command::Read, address, data);
}

void ByteCommand::start(Command command, int address, std::uint8_t data)
{
    Q_ASSERT(!busy_);
    busy_ = true;
    waiting_ = true;
    command_ = command;
    data_ = data;
    answer_.clear();

    if (!port_.isOpen()) {
        finish(Status::Timeout, true);
        return;
    }
    // Whatever came before the frame (a late answer to the previous command)
    // is never its answer.
    port_.discardInput();
    port_.setDtrOff();
    sent_.start();
    if (!port_.send(frame(command, address, data))) {
        if (waiting_)
            finish(Status::Timeout, true);
        return;
    }
    deadline_ = QDeadlineTimer(kAnswerTimeout, Qt::PreciseTimer);
    timeout_.start(kAnswerTimeout);
}

void ByteCommand::onReceived()
{
    if (!waiting_) {
        return; // left for the next command to throw away
    }
    answer_.append(port_.takeReceived());
    if (answered())
        finish(Status::Done, false);
}

void ByteCommand::onTimeout()
{
    if (!waiting_)
        return;
    // The receive notification can stall: look at what the system holds
    // before calling it a time-out. This may report the port lost.
    answer_.append(port_.collectPending());
    if (!waiting_)
        return;
    if (answered()) {
        finish(Status::Done, false);
        return;
    }
    if (!deadline_.hasExpired()) {
        timeout_.start(std::chrono::milliseconds(deadline_.remainingTime()));
        return;
    }
    finish(Status::Timeout, false);
}

void ByteCommand::onPortLost()
{
    if (waiting_)
        finish(Status::Timeout, true);
}

bool ByteCommand::answered()
{
    if (command_ == Command::Write)
        return containsWriteAck(answer_);
    if (!readAnswerComplete(answer_))
        return false;
    if (const auto byte = readAnswerByte(answer_))
        data_ = *byte;
    return true;
}

void ByteCommand::finish(Status status, bool portFailed)
{
    waiting_ = false;
    timeout_.stop();
    constexpr std::int64_t kNsPerUs = 1000;
    const std::int64_t elapsedUs = status == Status::Done && sent_.isValid() ? sent_.nsecsElapsed() / kNsPerUs : 0;
    const CommandResult result{status, data_, portFailed, elapsedUs};
    // Delivered from the event loop, never from inside the port's own signal.
    QMetaObject::invokeMethod(
        this,
        [this, result] {
            busy_ = false;
            Q_EMIT finished(result);
        },
        Qt::QueuedConnection);
}

} // namespace torsa::link
