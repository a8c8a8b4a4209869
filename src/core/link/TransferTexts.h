#pragma once

// Every text the device link shows: confirmations, the transfer panel, the
// messages that end a transfer. Line breaks are CR LF or LF CR exactly where
// the unit's programming tool has always put them.

#include "AdapterLatency.h"
#include "LinkPort.h"
#include "TransferOutcome.h"

#include <QString>

#include <cstdint>

namespace torsa::link::text {

// The port by the name the menu or the command line gives it ("COM2", "COM7",
// "/dev/ttyUSB4").
QString portOpened(const QString &portName);
// A port the system refused (the user is not in the dialout group, or another
// program holds it) says so on a second line; other failures have one line.
QString portOpenFailed(const QString &portName, LinkPort::OpenError error = LinkPort::OpenError::Other,
                       Platform platform = currentPlatform());
QString selectPortFirst();

QString confirmation(TransferKind kind);
QString activity(TransferKind kind);

// "  50%  effectuée" while the byte at the given address is transferred.
QString percent(int address);
int percentNumber(int address);

// Elapsed time and the time left, estimated from the bytes done so far, with
// whole passes still to come after this one (a verification after programming).
QString timeProgress(std::int64_t elapsedMs, int address, int passesAfter = 0);

QString communicationFailure();
QString verificationFailure(int address);
QString linkTestFailure();
QString linkTestSuccess();
QString programmingSuccess();
QString verificationSuccess();
QString stopped();
QString refusedCell(int address, int value);

} // namespace torsa::link::text
