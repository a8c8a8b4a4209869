#include "Session.h"

#include "SlotShift.h"

#include <algorithm>

namespace torsa {
namespace {

const QString kNewSessionQuestion = QStringLiteral("Voulez vous commencer une nouvelle session ?\n\r"
                                                   "(tout les messages en mémoire seront effacés)");

} // namespace

void Session::setCurrentMessage(int number)
{
    current_ = std::clamp(number, 0, mode::lastMessage(mode_));
}

bool Session::startNew(SessionMode mode, UserPrompts &prompts)
{
    // The question is asked under the mode still in force: a refresh running
    // while it is open counts with that one.
    const bool cleared = prompts.askYesNo(kNewSessionQuestion, PromptIcon::Exclamation);
    if (cleared) {
        image_.clear();
        current_ = 0;
    }
    initialiseMode(mode);
    return cleared;
}

void Session::begin(SessionMode mode)
{
    image_.clear();
    current_ = 0;
    initialiseMode(mode);
}

OpenReport Session::open(const MemoryImage &opened)
{
    image_ = opened;
    OpenReport report = reports::forOpenedImage(image_);
    if (report.requestedMode != SessionMode::None)
        initialiseMode(report.requestedMode);
    return report;
}

void Session::afterRead()
{
    if (const SessionMode requested = mode::fromLetter(image_.at(address::kModeCell)); requested != SessionMode::None)
        initialiseMode(requested);
}

Verdict Session::validate(int unit, int priority, const QString &text, const BlinkBoxes &blink)
{
    const EditedMessage message{current_, unit, priority, text, blink};
    const Verdict verdict = validation::check(image_, message);
    if (!verdict.accepted())
        return verdict;
    if (!text.isEmpty()) {
        validation::store(image_, message);
        recount(image_, mode_);
    }
    current_ = validation::nextMessageNumber(current_, mode_);
    return verdict;
}

bool Session::insertEmpty(UserPrompts &prompts)
{
    if (!prompts.askYesNo(slotshift::insertQuestion(image_, mode_), PromptIcon::Question))
        return false;
    slotshift::insertEmpty(image_, current_, mode_);
    return true;
}

bool Session::erase(UserPrompts &prompts)
{
    if (!prompts.askYesNo(slotshift::eraseQuestion(current_), PromptIcon::Question))
        return false;
    slotshift::erase(image_, current_, mode_);
    recount(image_, mode_);
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
    RefreshTick tick = refresh::tick(image_, mode_);
    if (tick.requestedMode != SessionMode::None)
        initialiseMode(tick.requestedMode);
    return tick;
}

void Session::initialiseMode(SessionMode mode)
{
    mode_ = mode;
    image_.set(address::kModeCell, mode::letter(mode));
    setCurrentMessage(current_);
}

} // namespace torsa
