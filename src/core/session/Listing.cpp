#include "Listing.h"

#include "store/MessageText.h"

namespace torsa::listing {
namespace {

constexpr int kNumberDigits = 3;
constexpr int kUnitDigits = 2;
constexpr int kPriorityDigits = 3;
// Room for one slot line with a 42-character text and its line end.
constexpr int kLongestLine = kSlotLineWidth + (address::kTextCells - kTextFieldWidth) + 2;

void appendZeroPadded(QString &out, int value, int width)
{
    if (value < 0) {
        out.append(u'-');
        value = -value;
    }
    const QString digits = QString::number(value);
    for (qsizetype i = digits.size(); i < width; ++i)
        out.append(u'0');
    out.append(digits);
}

void appendSlotLine(QString &out, const MemoryImage &image, int message)
{
    out.append(u" n°");
    appendZeroPadded(out, message, kNumberDigits);
    out.append(u" |");
    out.append(u" U: ");
    appendZeroPadded(out, image.unit(message), kUnitDigits);
    out.append(u" |");
    out.append(u"  P: ");
    appendZeroPadded(out, image.priority(message), kPriorityDigits);
    out.append(u"  | ");
    const QString text = messagetext::decode(image, message);
    out.append(text);
    for (qsizetype i = text.size(); i < kTextFieldWidth; ++i)
        out.append(u' ');
}

} // namespace

QString zeroPadded(int value, int width)
{
    QString out;
    appendZeroPadded(out, value, width);
    return out;
}

bool isListed(const MemoryImage &image, int message)
{
    return image[address::unitCell(message)] != 0;
}

QString slotLine(const MemoryImage &image, int message)
{
    QString out;
    appendSlotLine(out, image, message);
    return out;
}

QString build(const MemoryImage &image)
{
    QString out;
    out.reserve(kHeader.size() + kRule.size() + 4 + qsizetype{address::kScannedSlotCount} * kLongestLine);
    out.append(kHeader);
    out.append(kCrLf);
    out.append(kRule);
    out.append(kCrLf);
    for (int message = 0; message < address::kScannedSlotCount; ++message) {
        if (!isListed(image, message))
            continue;
        appendSlotLine(out, image, message);
        out.append(kCrLf);
    }
    return out;
}

} // namespace torsa::listing
