#include "CharCodes.h"

#include <algorithm>
#include <array>
#include <utility>

namespace torsa::charcodes {
namespace {

// Windows-1252 codes 128 to 159; U+0000 marks the five undefined codes, which
// map to the C1 control of the same number.
constexpr std::array<char32_t, 32> kHighHalf{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
constexpr int kHighHalfStart = 128;
constexpr int kHighHalfEnd = 160;

// Windows-1252 code -> device code.
constexpr std::array<std::pair<int, int>, 17> kDeviceTable{{
    {252, 129}, // ü
    {233, 130}, // é
    {226, 131}, // â
    {228, 132}, // ä
    {224, 133}, // à
    {231, 135}, // ç
    {234, 136}, // ê
    {235, 137}, // ë
    {232, 138}, // è
    {239, 139}, // ï
    {238, 140}, // î
    {244, 147}, // ô
    {246, 148}, // ö
    {242, 149}, // ò
    {251, 150}, // û
    {249, 151}, // ù
    {167, 127}, // §
}};

constexpr int kCodeCount = 256;

constexpr int fromDeviceSlow(int device)
{
    for (const auto &[from, to] : kDeviceTable) {
        if (to == device)
            return from;
    }
    return device;
}

constexpr char32_t fromWindows1252Slow(int code)
{
    if (code >= kHighHalfStart && code < kHighHalfEnd)
        return kHighHalf[static_cast<std::size_t>(code - kHighHalfStart)];
    return static_cast<char32_t>(code);
}

// The character of every byte value as stored, for decoding at refresh speed.
constexpr std::array<char32_t, kCodeCount> kDeviceCharacters = [] {
    std::array<char32_t, kCodeCount> table{};
    for (int code = 0; code < kCodeCount; ++code)
        table[static_cast<std::size_t>(code)] = fromWindows1252Slow(fromDeviceSlow(code));
    return table;
}();

} // namespace

std::optional<int> windows1252Code(char32_t ch)
{
    if (ch < kHighHalfStart || (ch >= kHighHalfEnd && ch <= 0xFF))
        return static_cast<int>(ch);
    const auto it = std::find(kHighHalf.begin(), kHighHalf.end(), ch);
    if (it != kHighHalf.end())
        return kHighHalfStart + static_cast<int>(it - kHighHalf.begin());
    return std::nullopt;
}

char32_t fromWindows1252(int code)
{
    return fromWindows1252Slow(code);
}

int toDevice(int windows1252)
{
    for (const auto &[from, to] : kDeviceTable) {
        if (from == windows1252)
            return to;
    }
    return windows1252;
}

int fromDevice(int device)
{
    return fromDeviceSlow(device);
}

char32_t deviceCharacter(int device)
{
    if (device >= 0 && device < kCodeCount)
        return kDeviceCharacters[static_cast<std::size_t>(device)];
    return fromWindows1252(fromDevice(device));
}

qsizetype characterCount(const QString &text)
{
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        ++count;
    }
    return count;
}

QString firstCharacters(const QString &text, qsizetype count)
{
    qsizetype i = 0;
    for (qsizetype taken = 0; taken < count && i < text.size(); ++taken) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        ++i;
    }
    return text.left(i);
}

} // namespace torsa::charcodes
