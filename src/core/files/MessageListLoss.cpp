#include "MessageListLoss.h"

#include "store/AddressMap.h"

namespace torsa::messagelist {
namespace {

constexpr int kFirstFreeCell = address::slotStart(address::kSlotCount);
constexpr int kSummaryEnd = address::kSummaryTextStart + address::kSummaryTextLength;

// Text cells a stored message uses: up to and with its end marker, or all 42.
int usedTextCells(const MemoryImage &image, int message)
{
    for (int k = 0; k < address::kTextCells; ++k) {
        if (image[address::textStart(message) + k] == address::kEndMarker)
            return k + 1;
    }
    return address::kTextCells;
}

QString slotPart(int a, const MemoryImage &file, const MemoryImage &imported)
{
    const int n = a / address::kSlotSize;
    const int offset = a % address::kSlotSize;
    if (!file.isPresent(n))
        return QStringLiteral("emplacement n°%1, message absent").arg(n);
    if (!imported.isPresent(n))
        return QStringLiteral("message n°%1, refusé à l'import").arg(n);
    if (offset == address::kUnitOffset)
        return QStringLiteral("message n°%1, cellule d'unité").arg(n);
    if (offset == address::kPriorityOffset)
        return QStringLiteral("message n°%1, cellule de priorité").arg(n);
    if (offset - address::kTextOffset >= usedTextCells(imported, n))
        return QStringLiteral("message n°%1, après la fin de son texte (reste d'un texte plus long)").arg(n);
    return QStringLiteral("message n°%1, texte (codes que l'éditeur n'écrit pas)").arg(n);
}

QString part(int a, const MemoryImage &file, const MemoryImage &imported)
{
    if (a < kFirstFreeCell)
        return slotPart(a, file, imported);
    if (a >= address::kSummaryCountStart && a < kSummaryEnd)
        return QStringLiteral("bloc de résumé, réécrit par le rafraîchissement");
    if (a == address::kModeCell)
        return QStringLiteral("cellule de mode");
    if (a == address::kEmptyCountCell)
        return QStringLiteral("nombre de messages vides, recompté");
    if (a == address::kLinkTestCell)
        return QStringLiteral("cellule du test de liaison");
    return QStringLiteral("cellules hors messages");
}

} // namespace

std::vector<LostCells> lostCells(const MemoryImage &file, const MemoryImage &imported)
{
    std::vector<LostCells> runs;
    for (int a = 0; a < address::kImageSize; ++a) {
        if (file[a] == imported[a])
            continue;
        const QString where = part(a, file, imported);
        if (!runs.empty() && runs.back().last == a - 1 && runs.back().where == where)
            runs.back().last = a;
        else
            runs.push_back({a, a, where});
    }
    return runs;
}

QString describe(const LostCells &cells)
{
    if (cells.first == cells.last)
        return QStringLiteral("cellule %1 : %2").arg(cells.first).arg(cells.where);
    return QStringLiteral("cellules %1 à %2 : %3").arg(cells.first).arg(cells.last).arg(cells.where);
}

} // namespace torsa::messagelist
