#include "Validation.h"

#include "CharCodes.h"
#include "LineEnds.h"

#include <QList>

#include <vector>

namespace torsa {
namespace {

// Device codes of the text, or the refusal of its first bad character.
Verdict deviceCodes(const QString &text, std::vector<int> &codes)
{
    for (const char32_t ch : text.toUcs4()) {
        const auto windows1252 = charcodes::windows1252Code(ch);
        if (!windows1252)
            return {Refusal::CharacterAboveRange, 0, ch};
        if (*windows1252 < charcodes::kFirstStoredCode)
            return {Refusal::CharacterBelowSpace, 0, 0};
        const int device = charcodes::toDevice(*windows1252);
        if (device > charcodes::kLastStoredCode)
            return {Refusal::CharacterAboveRange, 0, static_cast<char32_t>(device)};
        codes.push_back(device);
    }
    return {};
}

} // namespace

namespace validation {

Verdict check(const MemoryImage &image, const EditedMessage &message)
{
    const auto length = charcodes::characterCount(message.text);
    if (length + blink::toggleCount(message.blink) > kMaxTextLength)
        return {Refusal::TooManyBlinkZones, 0, 0};

    if (message.priority != 0) {
        for (int k = 0; k < address::kScannedSlotCount; ++k) {
            if (image[address::priorityCell(k)] == message.priority && k != message.number)
                return {Refusal::PriorityInUse, k, 0};
        }
    }

    std::vector<int> codes;
    return deviceCodes(message.text, codes);
}

void store(MemoryImage &image, const EditedMessage &message)
{
    std::vector<int> codes;
    deviceCodes(message.text, codes);
    const std::vector<int> cells = blink::encode(codes, message.blink);
    int a = address::textStart(message.number);
    for (const int cell : cells)
        image.set(a++, cell);
    image.set(address::unitCell(message.number), address::kPresenceFlag + message.unit);
    image.set(address::priorityCell(message.number), message.priority);
}

QString refusalText(const Verdict &verdict)
{
    switch (verdict.refusal) {
    case Refusal::TooManyBlinkZones:
        return QStringLiteral("Nombre de zones de clignotement trop important !") + kLfCr
            + QStringLiteral(" Réduisez le nombre de zones .");
    case Refusal::PriorityInUse:
        return QStringLiteral("Le message n°%1 à le même degrés de priorité").arg(verdict.otherMessage) + kLfCr
            + QStringLiteral("Corriger le degrés de priorité.");
    case Refusal::CharacterBelowSpace:
        return QStringLiteral("Caractère ASCII inférieur à &H20 ! ") + kLfCr
            + QStringLiteral("Veuillez modifier le message.");
    case Refusal::CharacterAboveRange:
        return QStringLiteral("Caractère ASCII supérieur à &H9F ! ") + QString::number(verdict.code, 16).toUpper()
            + kLfCr + QStringLiteral("Veuillez modifier le message.");
    case Refusal::None: break;
    }
    return {};
}

int nextMessageNumber(int current, SessionMode mode)
{
    const int next = current + 1;
    if (mode == SessionMode::WithPlc && next == mode::kTotalWithPlc)
        return mode::kLastMessageWithPlc;
    if (mode == SessionMode::WithoutPlc && next == mode::kTotalWithoutPlc)
        return mode::kLastMessageWithoutPlc;
    return next;
}

} // namespace validation

int recount(MemoryImage &image, SessionMode mode)
{
    const int tally = image.presentCount();
    image.set(address::kEmptyCountCell, mode::total(mode) - tally);
    return tally;
}

} // namespace torsa
