#pragma once

// How every file the tools write is saved: a new file renamed over the old one,
// so that a failed save keeps the old file whole; where the folder takes no new
// file (a shared folder, a file handed over writable in a folder that is not),
// the file itself is written in place instead. An existing file keeps its
// permissions; a read-only one is refused. A save succeeds only once every byte
// has been handed to the system: a full disk part-way is a failure.

#include <QByteArrayView>
#include <QString>

namespace torsa::files {

enum class SaveResult {
    Saved,
    NotSaved,       // nothing changed: an earlier file of that name is as it was
    LeftIncomplete, // written in place and failed part-way: the file is incomplete
};

SaveResult saveWhole(const QString &path, QByteArrayView bytes);

// Whether saveWhole can be expected to succeed: checked before a long task (a
// whole read of the unit) rather than after it.
bool canSave(const QString &path);

// The second line torsa-cli and zel-sim add when a save left a file incomplete.
QString incompleteFileNote(const QString &path);

// What torsa-cli and a station say of a save that failed: the error, and under
// it that note when the file was left incomplete.
QString saveFailureText(const QString &path, SaveResult result);

} // namespace torsa::files
