#pragma once

// What a preview window reads at each tick: the editor text, which it may cut
// to 40 characters, and the 40 blink boxes. The main window provides it; the
// preview knows nothing else of it.

#include "store/BlinkCoding.h"

#include <QString>

namespace torsa {

class PreviewSource {
public:
    virtual ~PreviewSource() = default;

    virtual QString editorText() const = 0;
    virtual void setEditorText(const QString &text) = 0;
    virtual BlinkBoxes blinkBoxes() const = 0;

protected:
    PreviewSource() = default;
    PreviewSource(const PreviewSource &) = default;
    PreviewSource &operator=(const PreviewSource &) = default;
};

} // namespace torsa
