#include "ProgressLine.h"

#include "Output.h"
#include "ProgressStyle.h"
#include "RunTexts.h"

#include "link/TransferTexts.h"

#include <cstdio>

namespace torsa::cli {

using namespace Qt::StringLiterals;

ProgressLine::ProgressLine() : enabled_(stderrProgressStyle() == ProgressStyle::InPlace)
{}

void ProgressLine::show(link::TransferKind kind, int address, std::int64_t elapsedMs, int passesAfter)
{
    constexpr std::int64_t kRefreshMs = 250;
    const int percent = link::text::percentNumber(address);
    if (!enabled_ || kind == link::TransferKind::LinkTest
        || (percent == lastPercent_ && elapsedMs - lastMs_ < kRefreshMs))
        return;
    lastPercent_ = percent;
    lastMs_ = elapsedMs;
    shown_ = true;
    print(stderr,
          u"\r"_s + link::text::activity(kind) + production::text::progressFigures(address, elapsedMs, passesAfter)
              + u"\x1b[K"_s);
}

void ProgressLine::end()
{
    if (shown_)
        print(stderr, u"\n"_s);
    shown_ = false;
    lastPercent_ = -1;
    lastMs_ = 0;
}

} // namespace torsa::cli
