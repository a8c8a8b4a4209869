#pragma once

// What a production run is given, checked before any port is touched: the
// ports with the devices they stand for (none given twice, under its own name
// or another), and the production file with its facts (its SHA-256 against
// the one expected). torsa-cli and the station window check alike.

#include "UnitRun.h"

#include "store/MemoryImage.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace torsa::production {

struct RunPorts {
    std::vector<UnitRun::Port> ports;
    QString refusal; // empty when every port is taken
};

RunPorts runPorts(const QStringList &given);

struct JobFile {
    QString path;
    qint64 size = 0;
    MemoryImage image;
    QByteArray sha256; // lower-case hexadecimal
};

struct JobFileCheck {
    std::optional<JobFile> file;
    QString refusal;        // its lines end in LF
    bool exactSize = false; // the file holds 8192 bytes, no more
};

// "Erreur d'ouverture de FILE" for a production file that could not be read,
// and under it, for a file too short to hold the 8192 bytes, how short; its
// lines end in LF.
QString unreadableFileText(const QString &path);

// expectedSha256: lower case, empty for any file.
JobFileCheck checkJobFile(const QString &path, const QString &expectedSha256);

} // namespace torsa::production
