#pragma once

// Every text the device link shows: confirmations, the transfer panel, the
// reports and failure messages. Line breaks are CR LF or LF CR exactly where
// the unit's programming tool has always put them.

#include "LinkPort.h"
#include "TransferOutcome.h"

#include "store/MemoryImage.h"

#include <QString>

#include <cstdint>

namespace torsa::link::text {

// How a message is shown (the window maps it to a message box icon).
enum class Severity : std::uint8_t { Information, Warning, Critical };

struct Report {
    QString text;
    Severity severity = Severity::Information;
};

QString portOpened(int comNumber);
// A port of the menu beyond COM4, by its own name ("COM7", "/dev/ttyUSB4").
QString portOpened(const QString &portName);
// A port the system refused (the user is not in the dialout group, or another
// program holds it) says so on a second line; other failures have one line.
QString portOpenFailed(int comNumber, LinkPort::OpenError error = LinkPort::OpenError::Other);
// The command-line form names the port as the user gave it.
QString portOpenFailed(const QString &portAsGiven, LinkPort::OpenError error = LinkPort::OpenError::Other);
QString selectPortFirst();

QString confirmation(TransferKind kind);
QString activity(TransferKind kind);

// "  50%  effectuée" while the byte at the given address is transferred.
QString percent(int address);
int percentNumber(int address);

// Elapsed time and the time left, estimated from the bytes done so far.
QString timeProgress(std::int64_t elapsedMs, int address);

QString communicationFailure();
QString verificationFailure(int address);
QString linkTestFailure();
QString linkTestSuccess();
QString programmingSuccess();
QString verificationSuccess();
QString stopped();
QString refusedCell(int address, int value);

// The message that ends a transfer or the link test; for a read, the image is
// the one just read.
Report outcomeReport(const TransferOutcome &outcome, const MemoryImage &image);

} // namespace torsa::link::text
