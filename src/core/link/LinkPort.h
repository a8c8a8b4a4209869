#pragma once

// The serial port to the unit, 9600,N,8,1, over QSerialPort. It hides the
// traps of the platform's port: an error raised again and again once the other
// end has gone (the port is closed and the loss reported once), a NoError
// "error" on open, stale input kept across an open, a pseudo-terminal that
// cannot switch DTR, and a receive notification that can stall.

#include "AdapterLatency.h"

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>

#include <cstdint>

namespace torsa::link {

class LinkPort : public QObject {
    Q_OBJECT

public:
    enum class OpenError : std::uint8_t { None, NotFound, PermissionDenied, Other };

    struct OpenResult {
        OpenError error = OpenError::None;
        QString detail; // the system's text, for logs and second lines
        bool ok() const { return error == OpenError::None; }
    };

    explicit LinkPort(QObject *parent = nullptr);
    ~LinkPort() override;

    LinkPort(const LinkPort &) = delete;
    LinkPort &operator=(const LinkPort &) = delete;

    // Closes whatever was open, then opens the device at 9600,N,8,1 with no
    // input pending. An empty name is a device not found.
    OpenResult open(const QString &device);
    void close();
    bool isOpen() const;
    QString device() const;
    // What the last opening found of the adapter, and asked of its driver.
    const AdapterTimer &adapter() const { return adapter_; }
    // Successful openings so far: what is told once per opening is told again
    // after the next.
    int openings() const { return openings_; }

    // Throws away everything received so far, including what the system holds.
    void discardInput();
    // DTR off. A device without modem lines (a pseudo-terminal) refuses; that
    // is not a failure, and the request is not repeated on that device.
    void setDtrOff();
    // Hands the bytes to the port and pushes them out at once. False when the
    // port is not open or the write failed (the port is then lost).
    bool send(const QByteArray &bytes);
    // Everything received so far, taken out of the port.
    QByteArray takeReceived();
    // Picks up bytes the system holds even when no notification came, then
    // takes everything received. May report the port lost meanwhile.
    QByteArray collectPending();

Q_SIGNALS:
    // Bytes arrived (takeReceived() gets them).
    void received();
    // The port failed (device gone, cable pulled): it is closed now. Emitted
    // once per loss.
    void lost(const QString &reason);

private:
    void onError(QSerialPort::SerialPortError error);
    void loseWith(const QString &reason);

    QSerialPort port_;
    AdapterTimer adapter_;
    int openings_ = 0;
    bool dtrUnsupported_ = false;
    bool requestingDtr_ = false;
};

} // namespace torsa::link
