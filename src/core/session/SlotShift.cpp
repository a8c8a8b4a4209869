#include "SlotShift.h"

#include "store/LineEnds.h"

namespace torsa::slotshift {
namespace {

bool inRange(int message, SessionMode mode)
{
    return message >= 0 && message <= lastMessage(mode);
}

void clearSlot(MemoryImage &image, int message)
{
    const int first = address::slotStart(message);
    for (int a = first; a < first + address::kSlotSize; ++a)
        image.set(a, 0);
}

} // namespace

int lastMessage(SessionMode mode)
{
    return mode::lastMessage(mode);
}

QString insertQuestion(const MemoryImage &image, SessionMode mode)
{
    QString question = QStringLiteral(" Insérer un nouveau message ?  ");
    question.append(kLfCr);
    const int last = lastMessage(mode);
    if (image[address::unitCell(last)] != 0)
        question.append(QStringLiteral("( Le message n° %1 sera écrasé)").arg(last));
    return question;
}

QString eraseQuestion(int message)
{
    QString question = QStringLiteral(" Effacer le message n°%1 ? ").arg(message);
    question.append(kLfCr);
    return question;
}

bool insertEmpty(MemoryImage &image, int message, SessionMode mode)
{
    if (!inRange(message, mode))
        return false;
    // From the top down, so that every cell is read before it is overwritten.
    for (int a = address::slotStart(lastMessage(mode)) - 1; a >= address::slotStart(message); --a)
        image.set(a + address::kSlotSize, image[a]);
    clearSlot(image, message);
    return true;
}

bool erase(MemoryImage &image, int message, SessionMode mode)
{
    if (!inRange(message, mode))
        return false;
    const int last = lastMessage(mode);
    for (int a = address::slotStart(message); a < address::slotStart(last); ++a)
        image.set(a, image[a + address::kSlotSize]);
    clearSlot(image, last);
    return true;
}

} // namespace torsa::slotshift
