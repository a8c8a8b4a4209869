#include "MessageList.h"

#include "store/CharCodes.h"
#include "store/MessageText.h"

namespace torsa::messagelist {

MessageList fromImage(const MemoryImage &image)
{
    MessageList list;
    list.mode = mode::fromLetter(image[address::kModeCell]);
    for (int n = 0; n < address::kSlotCount; ++n) {
        if (!image.isPresent(n))
            continue;
        ListedMessage message;
        message.number = n;
        message.text = messagetext::decode(image, n);
        message.unit = image.unit(n);
        message.priority = image.priority(n);
        message.blinkMask = blinkMask(blink::decodeFlags(image, n), charcodes::characterCount(message.text));
        list.messages.push_back(message);
    }
    return list;
}

QString blinkMask(const BlinkFlags &flags, qsizetype length)
{
    QString mask;
    for (qsizetype position = 1; position <= length; ++position) {
        const auto k = static_cast<std::size_t>(position);
        mask.append(k < flags.size() && flags[k] ? kBlinking : kSteady);
    }
    return mask;
}

QString modeName(SessionMode mode)
{
    return mode::name(mode).toString();
}

} // namespace torsa::messagelist
