#include "LinkPace.h"

#include <algorithm>

namespace torsa::link {

std::optional<std::int64_t> CommandTimes::medianUs() const
{
    if (times_.empty())
        return std::nullopt;
    std::vector<std::int64_t> sorted = times_;
    const auto middle = sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 2);
    std::nth_element(sorted.begin(), middle, sorted.end());
    return *middle;
}

} // namespace torsa::link
