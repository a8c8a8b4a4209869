#include "PreviewRender.h"

#include "store/CharCodes.h"

namespace torsa::preview {

QString limit(const QString &text)
{
    return charcodes::firstCharacters(text, kCellCount);
}

CellTexts render(const QString &text, const BlinkBoxes &blink, bool shown)
{
    CellTexts cells;
    qsizetype start = 0;
    for (int i = 0; i < kCellCount && start < text.size(); ++i) {
        // One character may be two UTF-16 units.
        const qsizetype length = charcodes::firstCharacters(text.mid(start), 1).size();
        if (shown || !blink[static_cast<std::size_t>(i)])
            cells[static_cast<std::size_t>(i)] = text.mid(start, length);
        start += length;
    }
    return cells;
}

} // namespace torsa::preview
