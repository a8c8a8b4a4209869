#include "LinkPort.h"

#include "LinkPlatform.h"
#include "Protocol.h"

namespace torsa::link {

LinkPort::LinkPort(QObject *parent) : QObject(parent)
{
    connect(&port_, &QSerialPort::readyRead, this, &LinkPort::received);
    connect(&port_, &QSerialPort::errorOccurred, this, &LinkPort::onError);
}

LinkPort::~LinkPort()
{
    // Closing emits nothing we want to hear during destruction.
    port_.disconnect(this);
    port_.close();
}

LinkPort::OpenResult LinkPort::open(const QString &device)
{
    close();
    // No device at all: a COM item that stands for no port on this machine.
    if (device.isEmpty())
        return {OpenError::NotFound, {}};
    dtrUnsupported_ = false;
    adapter_ = {};
    port_.setPortName(device);
    port_.setBaudRate(kBaudRate);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!port_.open(QIODevice::ReadWrite)) {
        OpenResult result{OpenError::Other, port_.errorString()};
        if (port_.error() == QSerialPort::PermissionError)
            result.error = OpenError::PermissionDenied;
        else if (port_.error() == QSerialPort::DeviceNotFoundError)
            result.error = OpenError::NotFound;
        port_.clearError();
        return result;
    }
    // After Qt's own settings, which would otherwise undo it. A refusal (a
    // pseudo-terminal, a driver without the flag) changes nothing else.
    adapter_.request = platform::requestLowLatency(port_);
    const auto timer = platform::latencyTimer(device);
    adapter_.timerMs = timer ? std::optional(timer->ms) : std::nullopt;
    adapter_.where = timer ? timer->where : QString();
    ++openings_;
    // The port keeps what arrived before it was opened; none of it is an answer.
    discardInput();
    return {};
}

void LinkPort::close()
{
    if (port_.isOpen())
        port_.close();
    port_.clearError();
}

bool LinkPort::isOpen() const
{
    return port_.isOpen();
}

QString LinkPort::device() const
{
    return port_.portName();
}

void LinkPort::discardInput()
{
    if (!port_.isOpen())
        return;
    port_.readAll();
    port_.clear(QSerialPort::Input);
    port_.clearError();
}

void LinkPort::setDtrOff()
{
    if (!port_.isOpen() || dtrUnsupported_)
        return;
    requestingDtr_ = true;
    const bool done = port_.setDataTerminalReady(false);
    requestingDtr_ = false;
    if (!done) {
        dtrUnsupported_ = true;
        port_.clearError();
    }
}

bool LinkPort::send(const QByteArray &bytes)
{
    if (!port_.isOpen())
        return false;
    if (port_.write(bytes) != bytes.size()) {
        loseWith(port_.errorString());
        return false;
    }
    // Out now rather than on the next pass of the event loop.
    port_.flush();
    return port_.isOpen();
}

QByteArray LinkPort::takeReceived()
{
    return port_.isOpen() ? port_.readAll() : QByteArray();
}

QByteArray LinkPort::collectPending()
{
    if (!port_.isOpen())
        return {};
    // A zero wait only looks at what the system holds; it does not block.
    // Not on Windows: there the port's I/O notifier hands every completion
    // over by itself, and a wait can dispatch again one it has handed over
    // already (Qt Serial Port 6.4 empties its queue on one semaphore count),
    // from an empty queue: the program crashed when a unit went silent or away.
    if (platform::mayWaitForPendingInput()) {
        port_.waitForReadyRead(0);
        if (!port_.isOpen())
            return {};
    }
    port_.clearError();
    return port_.readAll();
}

void LinkPort::onError(QSerialPort::SerialPortError error)
{
    // NoError is signalled on open; the DTR refusal of a pseudo-terminal is
    // handled where DTR is set.
    if (error == QSerialPort::NoError || requestingDtr_)
        return;
    switch (error) {
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
    case QSerialPort::ResourceError:
        // Left open, the port raises the same error again at once, forever.
        loseWith(port_.errorString());
        return;
    default: break;
    }
}

void LinkPort::loseWith(const QString &reason)
{
    if (!port_.isOpen())
        return;
    port_.close();
    port_.clearError();
    Q_EMIT lost(reason);
}

} // namespace torsa::link
