#pragma once

// A file opened so that every write lands at its end, whatever other processes
// have appended since: the production log is shared by the torsa-cli processes
// of a station. Linux does it with O_APPEND; Windows with a handle that may only
// append, as Qt's Append mode there only seeks to the end once, on opening.
// Each platform has its own source file (AppendingFile_linux.cpp,
// AppendingFile_windows.cpp), chosen by the build. Such a Windows handle cannot
// cut the file back after a failed write: the next row then starts on a line of
// its own instead.

#include <QFile>
#include <QString>

namespace torsa::production {

// Opens the existing file at path for unbuffered appending; false when it cannot.
bool openForAppending(QFile &file, const QString &path);

} // namespace torsa::production
