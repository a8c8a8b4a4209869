#include "CsvRecords.h"

#include <algorithm>

namespace torsa::csv {
namespace {

bool isLineEnd(QChar c)
{
    return c == u'\r' || c == u'\n';
}

bool needsQuotes(QStringView value)
{
    if (value.isEmpty())
        return false;
    // Spreadsheets drop unquoted leading and trailing blanks on some imports.
    if (value.front().isSpace() || value.back().isSpace())
        return true;
    return std::ranges::any_of(value, [](QChar c) { return c == kSeparator || c == kQuote || isLineEnd(c); });
}

// Walks the text once; a quote opens a quoted field only at the start of a field,
// elsewhere it is an ordinary character, as spreadsheets read it.
class Parser {
public:
    explicit Parser(QStringView text) : text_(text) {}

    std::vector<Record> run()
    {
        while (i_ < text_.size())
            records_.push_back(nextRecord());
        return std::move(records_);
    }

private:
    Record nextRecord()
    {
        Record r;
        r.row = static_cast<int>(records_.size()) + 1;
        QString current;
        bool fieldStart = true;
        while (true) {
            if (i_ >= text_.size()) {
                r.fields.append(current);
                return r;
            }
            const QChar c = text_[i_];
            if (c == kSeparator) {
                r.fields.append(current);
                current.clear();
                fieldStart = true;
                ++i_;
            } else if (isLineEnd(c)) {
                r.fields.append(current);
                skipLineEnd();
                return r;
            } else if (c == kQuote && fieldStart) {
                readQuoted(current, r);
                fieldStart = false;
            } else {
                current.append(c);
                fieldStart = false;
                ++i_;
            }
        }
    }

    void readQuoted(QString &current, Record &r)
    {
        ++i_; // opening quote
        while (true) {
            if (i_ >= text_.size()) {
                r.problem = QStringLiteral("guillemet ouvert jamais fermé");
                return;
            }
            const QChar c = text_[i_];
            if (c != kQuote) {
                current.append(c);
                ++i_;
                continue;
            }
            if (i_ + 1 < text_.size() && text_[i_ + 1] == kQuote) {
                current.append(kQuote);
                i_ += 2;
                continue;
            }
            ++i_; // closing quote
            break;
        }
        // After the closing quote only a separator or a line end may follow.
        while (i_ < text_.size() && text_[i_] != kSeparator && !isLineEnd(text_[i_])) {
            if (r.problem.isEmpty())
                r.problem = QStringLiteral("caractères après un guillemet fermant");
            current.append(text_[i_]);
            ++i_;
        }
    }

    void skipLineEnd()
    {
        if (text_[i_] == u'\r' && i_ + 1 < text_.size() && text_[i_ + 1] == u'\n')
            ++i_;
        ++i_;
    }

    QStringView text_;
    qsizetype i_ = 0;
    std::vector<Record> records_;
};

} // namespace

std::vector<Record> parse(QStringView text)
{
    return Parser(text).run();
}

QString field(QStringView value)
{
    if (!needsQuotes(value))
        return value.toString();
    QString quoted(kQuote);
    for (const QChar c : value) {
        if (c == kQuote)
            quoted.append(kQuote);
        quoted.append(c);
    }
    quoted.append(kQuote);
    return quoted;
}

QString record(const QStringList &fields)
{
    QString out;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out.append(kSeparator);
        out.append(field(fields[i]));
    }
    out.append(kRecordEnd);
    return out;
}

bool isBlank(const Record &record)
{
    return std::ranges::all_of(record.fields, [](const QString &f) { return f.trimmed().isEmpty(); });
}

} // namespace torsa::csv
