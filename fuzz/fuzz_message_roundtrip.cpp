// Any text (any Unicode, any length) with any 40 blink boxes, unit and
// priority through the rules of "Valider"; when they accept it, stored into its
// slot and shown again. The text shown must be the text typed (up to the
// unit's own codes for accented letters, see ShownText.h), and the flags shown
// must be the boxes ticked under the text's characters, positions 41 and 42
// keeping the state of position 40. A refusal must name a rule really broken.
//
// Input: 5 bytes of blink boxes, unit, priority, message number, the value the
// slot's cells held before, a byte of options (bit 0: text as raw UTF-16,
// else UTF-8; bit 1: without PLC), the priority of another slot, then the text.

#include "ShownText.h"

#include "store/AddressMap.h"
#include "store/BlinkCoding.h"
#include "store/CharCodes.h"
#include "store/MemoryImage.h"
#include "store/MessageText.h"
#include "store/SessionMode.h"
#include "store/Validation.h"

#include <QString>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace torsa;

namespace {

constexpr std::size_t kHeaderSize = 11;
constexpr int kMaxUnit = 31;

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

QString textOf(const std::uint8_t *data, std::size_t size, bool utf16)
{
    if (utf16) {
        return QString(reinterpret_cast<const QChar *>(data), static_cast<qsizetype>(size / 2));
    }
    return QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
}

// Whether a typed character can be stored, judged apart from the rules' code:
// it needs a Windows-1252 code of 32 or more, and above 159 only the unit's
// seventeen letters have a code of their own.
enum class CharacterVerdict { Fits, BelowSpace, AboveRange };

bool isUnitLetter(char32_t ch)
{
    for (const auto &[typed, letter] : testing::kAliasedCharacters) {
        if (letter == ch)
            return true;
    }
    return false;
}

CharacterVerdict judgeCharacter(char32_t ch)
{
    const auto code = charcodes::windows1252Code(ch);
    if (!code)
        return CharacterVerdict::AboveRange;
    if (*code < 32)
        return CharacterVerdict::BelowSpace;
    if (*code > 159 && !isUnitLetter(ch))
        return CharacterVerdict::AboveRange;
    return CharacterVerdict::Fits;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < kHeaderSize)
        return 0;
    const bool utf16 = (data[9] & 1) != 0;
    const SessionMode mode = (data[9] & 2) != 0 ? SessionMode::WithoutPlc : SessionMode::WithPlc;
    const int count = mode::lastMessage(mode) + 1;

    EditedMessage message;
    for (int i = 0; i < kBlinkBoxCount; ++i)
        message.blink[static_cast<std::size_t>(i)] = ((data[i / 8] >> (i % 8)) & 1) != 0;
    message.unit = data[5] % (kMaxUnit + 1);
    message.priority = data[6] % count;
    message.number = data[7] % count;
    message.text = textOf(data + kHeaderSize, size - kHeaderSize, utf16);

    MemoryImage image;
    const int before = data[8];
    for (int a = address::slotStart(message.number); a < address::slotStart(message.number + 1); ++a)
        image.set(a, before);
    const int other = (message.number + 1 + data[10]) % address::kScannedSlotCount;
    if (other != message.number)
        image.set(address::priorityCell(other), data[10] % count);
    const MemoryImage original = image;

    const Verdict verdict = validation::check(image, message);
    check(image == original, "checking writes nothing");

    const std::u32string typed = message.text.toStdU32String();
    const auto length = static_cast<int>(charcodes::characterCount(message.text));
    const int toggles = blink::toggleCount(message.blink);
    switch (verdict.refusal) {
    case Refusal::TooManyBlinkZones:
        check(length + toggles > kMaxTextLength, "too long only when length plus toggles pass 42");
        return 0;
    case Refusal::PriorityInUse:
        check(message.priority != 0 && verdict.otherMessage != message.number
                  && image.priority(verdict.otherMessage) == message.priority,
              "priority in use by another slot");
        return 0;
    case Refusal::CharacterBelowSpace:
    case Refusal::CharacterAboveRange: {
        // The first character that cannot be stored is the one refused.
        for (const char32_t ch : typed) {
            const CharacterVerdict v = judgeCharacter(ch);
            if (v == CharacterVerdict::Fits)
                continue;
            check((v == CharacterVerdict::BelowSpace) == (verdict.refusal == Refusal::CharacterBelowSpace),
                  "the first bad character's rule");
            return 0;
        }
        check(false, "a character refused although all fit");
        return 0;
    }
    case Refusal::None: break;
    }

    check(length + toggles <= kMaxTextLength, "accepted within 42 cells");
    for (const char32_t ch : typed)
        check(judgeCharacter(ch) == CharacterVerdict::Fits, "accepted characters all fit");
    if (message.text.isEmpty())
        return 0; // an empty text stores nothing

    validation::store(image, message);
    for (int a = 0; a < address::kImageSize; ++a) {
        if (a < address::slotStart(message.number) || a >= address::slotStart(message.number + 1))
            check(image[a] == original[a], "nothing written outside the slot");
    }
    check(image.isPresent(message.number), "present");
    check(image.unit(message.number) == message.unit, "unit");
    check(image.priority(message.number) == message.priority, "priority");

    const QString shown = messagetext::decode(image, message.number);
    check(shown == testing::shownText(message.text), "the text shown is the text typed");

    const BlinkFlags flags = blink::decodeFlags(image, message.number);
    for (int k = 1; k <= kMaxTextLength; ++k) {
        bool expected = false;
        if (k <= length)
            expected = message.blink[static_cast<std::size_t>(std::min(k, kBlinkBoxCount) - 1)];
        check(flags[static_cast<std::size_t>(k)] == expected, "the flags shown are the boxes under the text");
    }
    return 0;
}
