#pragma once

// The bytes of a message list. Lists are written in UTF-8 behind a byte-order
// mark, which spreadsheets need to read accents as UTF-8. Read back, a list may
// also come in Windows-1252: what a spreadsheet on French Windows saves under
// "CSV (séparateur : point-virgule)". UTF-8 is tried first; a text with accents
// in Windows-1252 is practically never valid UTF-8, so the fallback is safe.

#include <QByteArray>
#include <QString>

namespace torsa::csv {

enum class SourceEncoding { Utf8WithBom, Utf8, Windows1252 };

struct DecodedText {
    QString text;
    SourceEncoding encoding = SourceEncoding::Utf8;
    // Set when the bytes cannot be a list at all (binary, UTF-16, ...); text is
    // then empty. French, without the file name.
    QString failure;
};

// A list is a few kilobytes; anything far bigger is not one.
inline constexpr qsizetype kMaxListBytes = qsizetype{1024} * 1024;

DecodedText decode(const QByteArray &bytes);

// UTF-8 with its byte-order mark.
QByteArray encode(const QString &text);

// "UTF-8" or "Windows-1252", for messages.
QString encodingName(SourceEncoding encoding);

} // namespace torsa::csv
