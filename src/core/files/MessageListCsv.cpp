#include "MessageListCsv.h"

namespace torsa::messagelist {
namespace {

QString expectedModeRows()
{
    return QStringLiteral("« %1;%2 » ou « %1;%3 »")
        .arg(kModeLabel, modeName(SessionMode::WithPlc), modeName(SessionMode::WithoutPlc));
}

bool sameWords(const QString &a, const QString &b)
{
    return a.trimmed().compare(b, Qt::CaseInsensitive) == 0;
}

// Fields from `from` on hold nothing: spreadsheets pad short rows with empty cells.
bool emptyFrom(const QStringList &fields, qsizetype from)
{
    for (qsizetype i = from; i < fields.size(); ++i) {
        if (!fields[i].trimmed().isEmpty())
            return false;
    }
    return true;
}

SessionMode modeOf(const csv::Record &row)
{
    if (!row.problem.isEmpty() || row.fields.size() < 2 || !sameWords(row.fields[0], kModeLabel.toString())
        || !emptyFrom(row.fields, 2))
        return SessionMode::None;
    for (const SessionMode m : {SessionMode::WithPlc, SessionMode::WithoutPlc}) {
        if (sameWords(row.fields[1], modeName(m)))
            return m;
    }
    return SessionMode::None;
}

bool isHeader(const csv::Record &row)
{
    const QStringList expected = headerFields();
    if (!row.problem.isEmpty() || row.fields.size() < expected.size() || !emptyFrom(row.fields, expected.size()))
        return false;
    for (qsizetype i = 0; i < expected.size(); ++i) {
        if (!sameWords(row.fields[i], expected[i]))
            return false;
    }
    return true;
}

QString notAList(const csv::Record &first)
{
    QString text = QStringLiteral("ce n'est pas une liste de messages : la ligne %1 doit être %2")
                       .arg(kModeRow)
                       .arg(expectedModeRows());
    // "Mode,Avec automate": a spreadsheet set to another locale.
    const QString line = first.fields.first().trimmed();
    const bool otherSeparator = line.size() > kModeLabel.size() && line.startsWith(kModeLabel, Qt::CaseInsensitive)
        && (line[kModeLabel.size()] == u',' || line[kModeLabel.size()] == u'\t');
    if (first.fields.size() == 1 && otherSeparator)
        text.append(
            QStringLiteral(" (les champs doivent être séparés par « ; », comme les écrit un tableur en français)"));
    return text;
}

} // namespace

QStringList headerFields()
{
    return {QStringLiteral("Numéro"), QStringLiteral("Texte"), QStringLiteral("Unité"), QStringLiteral("Priorité"),
            QStringLiteral("Clignotement")};
}

QString cell(const csv::Record &row, Column column)
{
    const auto i = static_cast<qsizetype>(column);
    return i < row.fields.size() ? row.fields[i] : QString();
}

QByteArray toCsv(const MessageList &list)
{
    QString text = csv::record({kModeLabel.toString(), modeName(list.mode)});
    text.append(csv::record(headerFields()));
    for (const ListedMessage &m : list.messages) {
        text.append(csv::record(
            {QString::number(m.number), m.text, QString::number(m.unit), QString::number(m.priority), m.blinkMask}));
    }
    return csv::encode(text);
}

ListFile readCsv(const QByteArray &bytes)
{
    ListFile file;
    const csv::DecodedText decoded = csv::decode(bytes);
    file.encoding = decoded.encoding;
    if (!decoded.failure.isEmpty()) {
        file.failure = decoded.failure;
        return file;
    }
    const std::vector<csv::Record> records = csv::parse(decoded.text);
    if (records.empty()) {
        file.failure = QStringLiteral("le fichier est vide");
        return file;
    }
    file.mode = modeOf(records.front());
    if (file.mode == SessionMode::None) {
        file.failure = notAList(records.front());
        return file;
    }
    if (records.size() < kHeaderRow || !isHeader(records[kHeaderRow - 1])) {
        file.failure = QStringLiteral("la ligne %1 doit être l'en-tête « %2 »")
                           .arg(kHeaderRow)
                           .arg(headerFields().join(csv::kSeparator));
        return file;
    }
    auto end = records.end();
    while (end != records.begin() + kHeaderRow && csv::isBlank(*(end - 1)) && (end - 1)->problem.isEmpty())
        --end;
    file.rows.assign(records.begin() + kHeaderRow, end);
    return file;
}

} // namespace torsa::messagelist
