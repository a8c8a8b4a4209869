#include "Centering.h"

#include "store/CharCodes.h"

namespace torsa {
namespace centering {
namespace {

constexpr QChar kSpace = u' ';

qsizetype length(const QString &text)
{
    return charcodes::characterCount(text);
}

QString pad(qsizetype count)
{
    return count > 0 ? QString(count, kSpace) : QString();
}

// Spaces in front, so that an odd surplus leaves the extra space on the right.
QString centeredIn(const QString &line, int width)
{
    return pad((width - length(line)) / 2) + line;
}

Result oneLine(const QString &text, int width)
{
    const QString trimmed = trimSpaces(text);
    if (length(trimmed) > width - 1)
        return {text, Outcome::LeftAsIs};
    return {centeredIn(trimmed, width), Outcome::Centered};
}

Result twoLines(const QString &text, int width)
{
    const QString trimmed = trimSpaces(text);
    if (length(trimmed) <= width)
        return {centeredIn(trimmed, width), Outcome::Centered};

    // Split at a space: right after the first line if there is one there,
    // else the rightmost one within the first line; the space goes nowhere.
    const qsizetype lineEnd = charcodes::firstCharacters(trimmed, width).size();
    qsizetype splitAt = -1;
    if (trimmed.at(lineEnd) == kSpace)
        splitAt = lineEnd;
    else
        splitAt = trimmed.left(lineEnd).lastIndexOf(kSpace);

    QString line1;
    QString line2 = trimmed;
    if (splitAt >= 0) {
        line1 = trimSpaces(trimmed.left(splitAt));
        line2 = trimSpaces(trimmed.mid(splitAt + 1));
    }
    line1 = centeredIn(line1, width);
    line1 += pad(width - length(line1));
    line2 = centeredIn(line2, width);

    const QString joined = line1 + line2;
    if (length(joined) > 2 * static_cast<qsizetype>(width))
        return {trimmed, Outcome::Impossible};
    return {joined, Outcome::Centered};
}

} // namespace

QString trimSpaces(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == kSpace)
        ++first;
    while (last > first && text.at(last - 1) == kSpace)
        --last;
    return text.mid(first, last - first);
}

Result center(const QString &text, int width, int lines)
{
    return lines == 2 ? twoLines(text, width) : oneLine(text, width);
}

} // namespace centering

centering::Result CenteringUndo::center(const QString &current, int width, int lines)
{
    if (current != centered_)
        beforeCentering_ = current;
    centering::Result result = centering::center(current, width, lines);
    if (result.outcome == centering::Outcome::Centered)
        centered_ = result.text;
    return result;
}

} // namespace torsa
