#pragma once

// The station window's command line, so that an engineer makes a shortcut the
// operator only double-clicks: torsa-station [FILE] [--port PORT]... [--log
// LOG.csv] [--expect-sha256 HEX]. What it gives cannot be changed in the window.

#include <QString>
#include <QStringList>

namespace torsa::station {

struct StationArguments {
    QString file;
    QStringList ports;
    QString log;
    QString expectedSha256; // lower case
    QString problem;        // empty when the command line is sound

    // Started with a file and ports, the station waits for units at once.
    bool startsAtOnce() const { return !file.isEmpty() && !ports.isEmpty(); }
};

StationArguments parseStationArguments(const QStringList &arguments);

QString stationUsage();

} // namespace torsa::station
