#pragma once

// The one preview window of the main window, if any. The window may be closed
// by the user at any time (it then deletes itself); the holder never keeps a
// dangling pointer and closes the window when it is itself destroyed, so that a
// preview never outlives the main window it reads from.

#include "PreviewSource.h"
#include "preview/DisplayType.h"

#include <QPointer>

namespace torsa {

class PreviewWindow;

class PreviewHolder {
public:
    PreviewHolder() = default;
    ~PreviewHolder();
    PreviewHolder(const PreviewHolder &) = delete;
    PreviewHolder &operator=(const PreviewHolder &) = delete;

    // Closes the open preview, whichever it is, then opens the window of type
    // afresh (phase 0, ruler, timer started) and shows it.
    PreviewWindow *open(DisplayType type, PreviewSource &source);

    // Closes the open preview, if any.
    void close();

    // The open preview, or nullptr.
    PreviewWindow *window() const;

private:
    QPointer<PreviewWindow> window_;
};

} // namespace torsa
