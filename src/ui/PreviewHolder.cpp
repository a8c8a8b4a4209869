#include "PreviewHolder.h"

#include "PreviewWindow.h"

#include <array>

namespace torsa {
namespace {
constexpr std::array kClosingOrder{DisplayType::OneBySixteen, DisplayType::TwoBySixteen, DisplayType::OneByTwenty,
                                   DisplayType::TwoByTwenty};
}

PreviewHolder::~PreviewHolder()
{
    closeAll();
}

PreviewWindow *PreviewHolder::open(DisplayType type, PreviewSource &source)
{
    closeAll();
    window_ = new PreviewWindow(type, source);
    window_->show();
    return window_.data();
}

PreviewWindow *PreviewHolder::window() const
{
    return window_.data();
}

void PreviewHolder::closeAll()
{
    for (const DisplayType type : kClosingOrder) {
        if (window_ && window_->displayType() == type) {
            // Deleted at once rather than later, so that a closed preview never
            // ticks again nor counts as an open window.
            PreviewWindow *closing = window_.data();
            window_.clear();
            closing->close();
            delete closing;
        }
    }
}

} // namespace torsa
