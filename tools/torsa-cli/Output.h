#pragma once

// What torsa-cli writes, and the status it ends with: messages go to stderr in
// UTF-8, a command's output (a listing, a list) to stdout. A Windows console
// gets them as text instead, shown exactly whatever its code page.

#include "ExitStatus.h"

#include "files/FileSaving.h"

#include <QByteArrayView>
#include <QString>

#include <cstdio>

namespace torsa::cli {

// The exit statuses, shared with the production run's log.
using production::kExitCommunicationFailure;
using production::kExitDataRefused;
using production::kExitOutputFailed;
using production::kExitPortUnavailable;
using production::kExitSuccess;
using production::kExitUnreadableFile;
using production::kExitUsage;
using production::kExitVerificationMismatch;

// Writes the bytes whole and flushes (to a Windows console: the UTF-8 bytes as
// text); false when the stream did not take them.
bool write(std::FILE *stream, QByteArrayView bytes);

// The text in UTF-8.
bool print(std::FILE *stream, const QString &text);

// One line of a message on stderr.
void say(const QString &line);

// "Erreur d'ouverture de FILE" for a production file that could not be read,
// and under it, for a file too short to hold the 8192 bytes, how short.
void sayUnreadableProductionFile(const QString &path);

// True when the file was saved; otherwise says so on stderr, with a second
// line when the failure left the file incomplete.
bool saved(const QString &path, files::SaveResult result);

} // namespace torsa::cli
