#include "Session.h"

#include "SlotShift.h"
#include "TransferReport.h"

#include <algorithm>

namespace torsa {
namespace {

const QString kNewSessionQuestion = QStringLiteral("Voulez vous commencer une nouvelle session ?\n\r"
                                                   "(tout les messages en mémoire seront effacés)");

// The cells every refresh tick rewrites from the others: the summary block and
// the empty count. A difference there loses nothing.
constexpr bool derivedByRefresh(int address)
{
    const int summaryEnd = address::kSummaryTextStart + address::kSummaryTextLength;
    return (address >= address::kSummaryCountStart && address < summaryEnd) || address == address::kEmptyCountCell;
}

bool differBeyondDerivedCells(const MemoryImage &a, const MemoryImage &b)
{
    for (int cell = 0; cell < address::kImageSize; ++cell) {
        if (a.at(cell) != b.at(cell) && !derivedByRefresh(cell))
            return true;
    }
    return false;
}

} // namespace

Session::Session(QObject *parent) : QObject(parent)
{}

bool Session::isModified() const
{
    return differBeyondDerivedCells(image_, kept_);
}

void Session::announceSince(const State &before, Show show)
{
    if (image_ != before.image)
        Q_EMIT imageChanged();
    if (mode_ != before.mode)
        Q_EMIT modeChanged(mode_);
    if (show == Show::Again || (show == Show::IfMoved && current_ != before.current))
        Q_EMIT currentMessageChanged(current_);
    if (const bool modified = isModified(); modified != before.modified)
        Q_EMIT modifiedChanged(modified);
}

void Session::setCurrentMessage(int number)
{
    const State before = state();
    current_ = std::clamp(number, 0, mode::lastMessage(mode_));
    announceSince(before, Show::IfMoved);
}

bool Session::startNew(SessionMode mode, UserPrompts &prompts)
{
    // The question is asked under the mode still in force: a refresh running
    // while it is open counts with that one.
    const bool cleared = prompts.askYesNo(kNewSessionQuestion, PromptIcon::Exclamation);
    const State before = state();
    if (cleared) {
        image_.clear();
        current_ = 0;
    }
    initialiseMode(mode);
    if (cleared)
        kept_ = image_;
    announceSince(before, Show::IfMoved);
    return cleared;
}

void Session::begin(SessionMode mode)
{
    const State before = state();
    image_.clear();
    current_ = 0;
    initialiseMode(mode);
    kept_ = image_;
    announceSince(before, Show::IfMoved);
}

OpenReport Session::open(const MemoryImage &opened, UserPrompts &prompts)
{
    const State before = state();
    image_ = opened;
    kept_ = image_;
    OpenReport report = reports::forOpenedImage(image_);
    if (report.requestedMode != SessionMode::None)
        initialiseMode(report.requestedMode);
    announceSince(before, Show::Later);
    prompts.tell(reports::openedMessage(report), PromptIcon::Information);
    Q_EMIT currentMessageChanged(current_);
    return report;
}

void Session::markSaved()
{
    const State before = state();
    kept_ = image_;
    announceSince(before, Show::Later);
}

void Session::finishTransfer(const link::TransferOutcome &outcome, UserPrompts &prompts)
{
    using link::TransferKind;
    const State before = state();
    const bool succeeded = outcome.succeeded();
    if (succeeded && outcome.kind == TransferKind::Read && outcome.readImage) {
        image_ = *outcome.readImage;
        takeModeOfImage();
    }
    // The unit's link-test cell is left at 0, and the image says so.
    if (succeeded && outcome.kind == TransferKind::LinkTest)
        image_.set(address::kLinkTestCell, 0);
    const bool reachedUnit = succeeded && (outcome.kind == TransferKind::Program || outcome.kind == TransferKind::Read);
    if (reachedUnit)
        kept_ = image_;
    announceSince(before, Show::Later);
    const reports::TransferReport report = reports::forTransfer(outcome, image_);
    prompts.tell(report.text, report.icon);
    if (reachedUnit)
        Q_EMIT currentMessageChanged(current_);
}

Verdict Session::validate(int unit, int priority, const QString &text, const BlinkBoxes &blink)
{
    const EditedMessage message{current_, unit, priority, text, blink};
    const Verdict verdict = validation::check(image_, message);
    if (!verdict.accepted())
        return verdict;
    const State before = state();
    if (!text.isEmpty()) {
        validation::store(image_, message);
        recount(image_, mode_);
    }
    current_ = validation::nextMessageNumber(current_, mode_);
    announceSince(before, Show::Again);
    return verdict;
}

bool Session::insertEmpty(UserPrompts &prompts)
{
    if (!prompts.askYesNo(slotshift::insertQuestion(image_, mode_), PromptIcon::Question))
        return false;
    const State before = state();
    slotshift::insertEmpty(image_, current_, mode_);
    announceSince(before, Show::IfMoved);
    return true;
}

bool Session::erase(UserPrompts &prompts)
{
    if (!prompts.askYesNo(slotshift::eraseQuestion(current_), PromptIcon::Question))
        return false;
    const State before = state();
    slotshift::erase(image_, current_, mode_);
    recount(image_, mode_);
    announceSince(before, Show::Again);
    return true;
}

std::optional<QString> Session::center(const QString &typed, UserPrompts &prompts)
{
    if (display_ == DisplayType::None) {
        prompts.tell(centering::kNoDisplayMessage.toString(), PromptIcon::Information);
        return std::nullopt;
    }
    const int lines = display::lines(display_);
    const centering::Result result = centering_.center(typed, display::width(display_), lines);
    if (result.failed())
        prompts.tell(centering::kImpossibleMessage.toString(), PromptIcon::Exclamation);
    // On one line, a text too long is left exactly as typed, cursor included.
    if (lines == 2 || result.outcome == centering::Outcome::Centered)
        return result.text;
    return std::nullopt;
}

RefreshTick Session::tick()
{
    const State before = state();
    RefreshTick tick = refresh::tick(image_, mode_);
    if (tick.requestedMode != SessionMode::None)
        initialiseMode(tick.requestedMode);
    announceSince(before, Show::IfMoved);
    return tick;
}

void Session::initialiseMode(SessionMode mode)
{
    mode_ = mode;
    image_.set(address::kModeCell, mode::letter(mode));
    current_ = std::clamp(current_, 0, mode::lastMessage(mode_));
}

void Session::takeModeOfImage()
{
    if (const SessionMode requested = mode::fromLetter(image_.at(address::kModeCell)); requested != SessionMode::None)
        initialiseMode(requested);
}

} // namespace torsa
