#include "PreviewHolder.h"

#include "PreviewWindow.h"

namespace torsa {

PreviewHolder::~PreviewHolder()
{
    close();
}

PreviewWindow *PreviewHolder::open(DisplayType type, PreviewSource &source)
{
    close();
    window_ = new PreviewWindow(type, source);
    window_->show();
    return window_.data();
}

PreviewWindow *PreviewHolder::window() const
{
    return window_.data();
}

void PreviewHolder::close()
{
    if (!window_)
        return;
    // Deleted at once rather than later, so that a closed preview never ticks
    // again nor counts as an open window.
    PreviewWindow *closing = window_.data();
    window_.clear();
    closing->close();
    delete closing;
}

} // namespace torsa
