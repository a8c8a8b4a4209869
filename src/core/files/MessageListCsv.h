#pragma once

// The CSV form of a message list, as a spreadsheet in a French locale opens it:
//
//   Mode;Avec automate
//   Numéro;Texte;Unité;Priorité;Clignotement
//   0;Défaut pompe 1;3;1;"      ^^^^^ "
//
// The mode stands alone on the first row, where it is seen at a glance and is
// kept when the set holds no message; the header follows, then one row per
// message in number order. UTF-8 behind a byte-order mark, CR LF line ends.

#include "CsvEncoding.h"
#include "CsvRecords.h"
#include "MessageList.h"

#include <QByteArray>
#include <QStringList>

#include <vector>

namespace torsa::messagelist {

enum class Column : int { Number, Text, Unit, Priority, Blink };
inline constexpr int kColumnCount = 5;
// Some spreadsheets drop the empty cells at the end of a row: a row without its
// blink mask is a row where nothing blinks.
inline constexpr int kRequiredColumns = 4;

inline constexpr QStringView kModeLabel = u"Mode";
inline constexpr int kModeRow = 1;
inline constexpr int kHeaderRow = 2;

QStringList headerFields();

// The cell of a row in a column; empty when the row is too short.
QString cell(const csv::Record &row, Column column);

// The whole file, BOM included.
QByteArray toCsv(const MessageList &list);

struct ListFile {
    SessionMode mode = SessionMode::None;
    // The message rows after the header, blank rows at the end of the file left out.
    std::vector<csv::Record> rows;
    csv::SourceEncoding encoding = csv::SourceEncoding::Utf8;
    // Set when the file is not a message list at all; French, without the file name.
    QString failure;

    bool isList() const { return failure.isEmpty(); }
};

// Splits a file into its mode and its message rows; the rows are judged by the import.
ListFile readCsv(const QByteArray &bytes);

} // namespace torsa::messagelist
