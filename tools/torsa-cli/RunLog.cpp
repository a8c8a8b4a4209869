#include "RunLog.h"

#include "AppendingFile.h"
#include "files/CsvEncoding.h"
#include "files/CsvRecords.h"

#include <QFileInfo>
#include <QStringList>
#include <QSysInfo>
#include <QTemporaryFile>

#include <cstdlib>
#include <optional>

namespace torsa::cli {

using namespace Qt::StringLiterals;
using link::TransferKind;

namespace {

constexpr int kSecondsPerMinute = 60;
constexpr int kMinutesPerHour = 60;
constexpr double kMsPerSecond = 1000.0;
constexpr int kDurationDecimals = 3;

QString headerRecord()
{
    return csv::record({u"Date"_s, u"Commande"_s, u"Port"_s, u"Périphérique"_s, u"Fichier"_s, u"SHA-256"_s, u"Code"_s,
                        u"Résultat"_s, u"Durée (s)"_s, u"Version"_s, u"Poste"_s, u"Unité"_s, u"Adresse"_s, u"Attendu"_s,
                        u"Lu"_s, u"Temps par commande (ms)"_s});
}

// The command-line name of the command.
QString commandName(TransferKind kind)
{
    switch (kind) {
    case TransferKind::Program: return u"program"_s;
    case TransferKind::Read: return u"read"_s;
    case TransferKind::Verify: return u"verify"_s;
    case TransferKind::LinkTest: break;
    }
    return u"test"_s;
}

// ISO 8601 with the offset always written out ("+00:00" rather than "Z").
QString isoDateTime(const QDateTime &at)
{
    const int offsetMinutes = at.offsetFromUtc() / kSecondsPerMinute;
    const int absolute = std::abs(offsetMinutes);
    return at.toString(u"yyyy-MM-dd'T'HH:mm:ss"_s) + (offsetMinutes < 0 ? u'-' : u'+')
        + u"%1:%2"_s.arg(absolute / kMinutesPerHour, 2, 10, QLatin1Char('0'))
              .arg(absolute % kMinutesPerHour, 2, 10, QLatin1Char('0'));
}

QString numberOrEmpty(std::optional<int> value)
{
    return value ? QString::number(*value) : QString();
}

// A decimal comma, as a French-locale spreadsheet reads numbers.
QString seconds(std::int64_t ms)
{
    return QString::number(static_cast<double>(ms) / kMsPerSecond, 'f', kDurationDecimals).replace(u'.', u',');
}

// Microseconds as milliseconds, one decimal, a decimal comma.
QString milliseconds(std::int64_t us)
{
    return QString::number(static_cast<double>(us) / kMsPerSecond, 'f', 1).replace(u'.', u',');
}

} // namespace

bool RunLog::open(const QString &path)
{
    if (!QFileInfo::exists(path) && !createWithHeader(path) && !QFileInfo::exists(path))
        return false;
    // Unbuffered: each row goes to the system in one write, at the end of the file.
    if (!openForAppending(file_, path))
        return false;
    path_ = path;
    // A file left empty by hand is a new log.
    return file_.size() > 0 || appendWhole(csv::encode(headerRecord()));
}

bool RunLog::createWithHeader(const QString &path)
{
    // Written aside, then renamed without replacing: when two processes start
    // at once the header is written once, and no row comes before it.
    QTemporaryFile draft(QFileInfo(path).absolutePath() + u"/.torsa-log-XXXXXX"_s);
    const QByteArray header = csv::encode(headerRecord());
    if (!draft.open() || draft.write(header) != header.size() || !draft.flush())
        return false;
    draft.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser
                         | QFileDevice::WriteUser | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    // The draft's own rename: Windows renames no file still open, and a
    // temporary file stays open until it is renamed or destroyed. Once
    // renamed it is the log, which its destruction must leave in place.
    const bool renamed = draft.rename(path);
    draft.setAutoRemove(!renamed);
    return renamed;
}

bool RunLog::append(const UnitRun::Port &port, const QString &file, const UnitRun::Step &step,
                    std::optional<int> unitNumber)
{
    const std::optional<Diagnostic> &diagnostic = step.diagnostic;
    const QStringList fields{isoDateTime(step.started),
                             commandName(step.kind),
                             port.given,
                             port.device,
                             step.kind == TransferKind::LinkTest ? QString() : file,
                             QString::fromLatin1(step.sha256),
                             QString::number(step.exitCode),
                             step.text,
                             seconds(step.durationMs),
                             QStringLiteral(TORSA_VERSION),
                             QSysInfo::machineHostName(),
                             numberOrEmpty(unitNumber),
                             numberOrEmpty(diagnostic ? std::optional(diagnostic->address) : std::nullopt),
                             numberOrEmpty(diagnostic ? diagnostic->expected : std::nullopt),
                             numberOrEmpty(diagnostic ? diagnostic->read : std::nullopt),
                             step.medianCommandUs ? milliseconds(*step.medianCommandUs) : QString()};
    return appendWhole(csv::record(fields).toUtf8());
}

bool RunLog::appendWhole(const QByteArray &bytes)
{
    if (!file_.isOpen())
        return false;
    const qint64 sizeBefore = file_.size();
    const QByteArray row = endsOnLineEnd(sizeBefore) ? bytes : csv::kRecordEnd.toUtf8() + bytes;
    if (file_.write(row) == row.size())
        return true;
    // A torn row would have every later row glued to it.
    file_.resize(sizeBefore);
    return false;
}

bool RunLog::endsOnLineEnd(qint64 size) const
{
    if (size == 0)
        return true;
    QFile reader(path_);
    char last = 0;
    return reader.open(QIODevice::ReadOnly) && reader.seek(size - 1) && reader.getChar(&last) && last == '\n';
}

} // namespace torsa::cli
