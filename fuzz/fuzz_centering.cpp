// Any text through "Centrer" for each of the four displays: no crash, and a
// result the rules allow. Centered: the words of the trimmed input, in order,
// with the spaces in front that centre each line; line 1 filled to the width
// on a two-line display, line 2 without trailing spaces. Too long for one
// line: the text untouched. Impossible on two lines: the trimmed input.
// "Centrer", "Centrer", "Annuler (centrer)" gives back the text typed.
//
// Input: one byte of options (bits 0-1: the display, bit 2: text as UTF-16,
// else UTF-8), then the text. Texts are made of characters: a lone surrogate
// of the UTF-16 input is no character (nothing typed or pasted into the editor
// holds one) and stands as U+FFFD; otherwise two halves, one ending line 1 and
// one starting line 2, would join into a character that nobody typed.

#include "session/Centering.h"
#include "store/CharCodes.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace torsa;

namespace {

struct Display {
    int width;
    int lines;
};

constexpr std::array<Display, 4> kDisplays{{{16, 1}, {20, 1}, {16, 2}, {20, 2}}};

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

// The text with each lone surrogate replaced by U+FFFD.
QString characters(const QString &utf16)
{
    const QList<uint> codePoints = utf16.toUcs4();
    return QString::fromUcs4(reinterpret_cast<const char32_t *>(codePoints.constData()), codePoints.size());
}

qsizetype length(const QString &text)
{
    return charcodes::characterCount(text);
}

QStringList words(const QString &text)
{
    return text.split(u' ', Qt::SkipEmptyParts);
}

qsizetype leadingSpaces(const QString &text)
{
    qsizetype n = 0;
    while (n < text.size() && text.at(n) == u' ')
        ++n;
    return n;
}

// A line that centering produced: its content with (width - length) div 2
// spaces in front, none when the content fills the width or more.
void checkCentredLine(const QString &line, int width, const char *what)
{
    const QString content = centering::trimSpaces(line);
    const qsizetype surplus = width - length(content);
    check(leadingSpaces(line) == (surplus > 0 ? surplus / 2 : 0), what);
}

void checkResult(const QString &input, const Display &display, const centering::Result &result)
{
    const QString trimmed = centering::trimSpaces(input);
    const int w = display.width;
    switch (result.outcome) {
    case centering::Outcome::LeftAsIs:
        check(display.lines == 1, "left as is only on one line");
        check(result.text == input, "left as is: untouched");
        check(length(trimmed) >= w, "left as is only when too long");
        return;
    case centering::Outcome::Impossible:
        check(display.lines == 2, "impossible only on two lines");
        check(result.text == trimmed, "impossible: the trimmed text");
        check(length(trimmed) > w, "impossible only when longer than a line");
        return;
    case centering::Outcome::Centered: break;
    }

    if (display.lines == 1 || length(trimmed) <= w) {
        // One line: the trimmed text with its spaces in front.
        check(length(trimmed) <= (display.lines == 1 ? w - 1 : w), "one line: short enough");
        check(centering::trimSpaces(result.text) == trimmed, "one line: the trimmed text");
        checkCentredLine(result.text, w, "one line: centred");
        check(result.text.endsWith(trimmed), "one line: nothing behind the text");
        return;
    }

    // Two lines: line 1 is exactly W characters, line 2 the rest.
    const QString line1 = charcodes::firstCharacters(result.text, w);
    const QString line2 = result.text.mid(line1.size());
    check(length(result.text) > w && length(result.text) <= 2 * w, "two lines: W + 1 to 2W characters");
    check(length(line1) == w, "two lines: line 1 filled");
    check(!line2.isEmpty() && !line2.endsWith(u' '), "two lines: line 2 without trailing spaces");
    checkCentredLine(line1, w, "two lines: line 1 centred");
    checkCentredLine(line2, w, "two lines: line 2 centred");
    check(words(line1) + words(line2) == words(trimmed), "two lines: the words in order, none cut");
    check(!centering::trimSpaces(line1).isEmpty(), "two lines: line 1 holds a word");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const Display display = kDisplays[data[0] & 3];
    const bool utf16 = (data[0] & 4) != 0;
    const auto *text = data + 1;
    const auto textSize = static_cast<qsizetype>(size - 1);
    const QString input = utf16 ? characters(QString(reinterpret_cast<const QChar *>(text), textSize / 2))
                                : QString::fromUtf8(reinterpret_cast<const char *>(text), textSize);

    const centering::Result result = centering::center(input, display.width, display.lines);
    checkResult(input, display, result);

    CenteringUndo undo;
    const centering::Result first = undo.center(input, display.width, display.lines);
    check(first.text == result.text && first.outcome == result.outcome, "the same with the undo texts");
    const centering::Result second = undo.center(first.text, display.width, display.lines);
    checkResult(first.text, display, second);
    if (first.outcome != centering::Outcome::Impossible)
        check(undo.textBeforeCentering() == input, "Centrer twice, then Annuler: the text typed");
    return 0;
}
