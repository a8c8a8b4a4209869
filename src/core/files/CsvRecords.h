#pragma once

// Records of a CSV file as a French-locale spreadsheet writes them: fields
// separated by ';', records ended by CR LF, a field put between '"' when it holds
// a separator, a quote, a line end or a leading or trailing blank, the quotes
// inside it doubled. Reading also takes LF or CR alone as a record end.

#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

namespace torsa::csv {

inline constexpr QChar kSeparator = u';';
inline constexpr QChar kQuote = u'"';
inline constexpr QStringView kRecordEnd = u"\r\n";

struct Record {
    int row = 0;        // from 1, as the spreadsheet numbers its rows
    QStringList fields; // an empty line is one empty field
    // Set when the record is malformed: a quote never closed, or characters after
    // a closing quote. The fields then hold what could be made of it.
    QString problem;
};

// The records of a text, in order. A line end at the very end of the text ends the
// last record and opens none.
std::vector<Record> parse(QStringView text);

// One field as it must be written: quoted only where a spreadsheet would lose or
// misread it otherwise.
QString field(QStringView value);

// One record: its fields joined by ';', then CR LF.
QString record(const QStringList &fields);

// True when every field is empty or blank: a row with nothing in it.
bool isBlank(const Record &record);

} // namespace torsa::csv
