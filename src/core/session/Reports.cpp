#include "Reports.h"

#include <QAnyStringView>

#include <initializer_list>

namespace torsa::reports {
namespace {

QString joined(std::initializer_list<QAnyStringView> parts)
{
    QString text;
    for (const QAnyStringView part : parts)
        text.append(part.toString());
    return text;
}

} // namespace

QString modeLine(int modeCell)
{
    const SessionMode mode = mode::fromLetter(modeCell);
    return mode == SessionMode::None ? QString() : joined({mode::name(mode), u"."});
}

QString statusCaption(int modeCell)
{
    const QString mode = modeLine(modeCell);
    return mode.isEmpty() ? kHeader.toString() : joined({kHeader, mode, u"  "});
}

QString emptyCount(int count)
{
    return joined({QString::number(count), count > 1 ? kEmptyPlural : kEmptySingular});
}

QString countCaption(int emptyCount, SessionMode mode)
{
    return mode == SessionMode::None ? kNoSession.toString() : reports::emptyCount(emptyCount);
}

namespace {

// Header and mode line, each ended by LF CR.
QString reportHead(const MemoryImage &image)
{
    const QString mode = modeLine(image[address::kModeCell]);
    return mode.isEmpty() ? joined({kHeader, kLfCr}) : joined({kHeader, kLfCr, mode, kLfCr});
}

} // namespace

OpenReport forOpenedImage(const MemoryImage &image)
{
    OpenReport report;
    report.requestedMode = mode::fromLetter(image[address::kModeCell]);
    report.tally = image[address::kEmptyCountCell];
    report.text = joined({reportHead(image), QString::number(report.tally), kEmptyPlural, kLfCr});
    return report;
}

QString openedMessage(const OpenReport &report)
{
    return joined({report.text, kReadSuccess});
}

QString readingReport(const MemoryImage &image)
{
    return joined({reportHead(image), emptyCount(image[address::kEmptyCountCell]), kReadSuccess});
}

} // namespace torsa::reports
