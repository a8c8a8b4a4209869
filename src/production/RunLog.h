#pragma once

// The production log (torsa-cli --log FILE.csv, the station window's log):
// one row per unit and command, appended as each ends. A CSV file as the message lists are (';', CR LF, UTF-8 behind a
// byte-order mark, a header row), so that a spreadsheet opens it. Each row is
// one append, so that two torsa-cli processes can share one log.

#include "UnitRun.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <optional>

namespace torsa::production {

class RunLog {
public:
    // Opens the log for appending, creating it with its header when new. False
    // when it cannot be written: checked before any unit is reached.
    bool open(const QString &path);
    bool isOpen() const { return file_.isOpen(); }
    QString path() const { return path_; }

    // The row of one finished command, with this program's version, the host
    // and the unit's number in a station run; false when the log did not take it.
    bool append(const UnitRun::Port &port, const QString &file, const UnitRun::Step &step,
                std::optional<int> unitNumber = std::nullopt);

private:
    static bool createWithHeader(const QString &path);
    // One write of the whole row, on a line of its own; after a failure the
    // log is cut back to what it was, so that no torn row is left.
    bool appendWhole(const QByteArray &bytes);
    bool endsOnLineEnd(qint64 size) const;

    QFile file_;
    QString path_;
};

} // namespace torsa::production
