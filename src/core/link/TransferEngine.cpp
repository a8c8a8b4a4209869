#include "TransferEngine.h"

#include "LinkPort.h"

#include "store/MemoryImage.h"

namespace torsa::link {

namespace {

constexpr bool fitsByte(int value)
{
    return value >= 0 && value <= 255;
}

} // namespace

TransferEngine::TransferEngine(LinkPort &port, const MemoryImage &image, QObject *parent)
    : QObject(parent)
    , image_(image)
    , command_(port)
{
    connect(&command_, &ByteCommand::finished, this, [this](const CommandResult &result) {
        if (result.status == Status::Done)
            times_.add(result.elapsedUs);
        if (kind_ == TransferKind::LinkTest)
            onLinkTestCommandFinished(result);
        else
            onCommandFinished(result);
    });
}

bool TransferEngine::start(TransferKind kind)
{
    if (running_)
        return false;
    running_ = true;
    stopRequested_ = false;
    kind_ = kind;
    address_ = 0;
    data_ = 0;
    outcome_ = TransferOutcome{};
    outcome_.kind = kind;
    times_.clear();
    clock_.start();
    QMetaObject::invokeMethod(this, &TransferEngine::nextStep, Qt::QueuedConnection);
    return true;
}

void TransferEngine::requestStop()
{
    if (running_)
        stopRequested_ = true;
}

std::optional<TransferOutcome> TransferEngine::refusalBeforeStart(TransferKind kind, const MemoryImage &image)
{
    const int bad = image.firstCellOutOfByteRange();
    if (kind != TransferKind::Program || bad < 0)
        return std::nullopt;
    TransferOutcome refused;
    refused.kind = kind;
    refused.result = TransferResult::Refused;
    refused.address = bad;
    refused.refusedValue = image.at(bad);
    return refused;
}

TransferEngine::LinkTestStep TransferEngine::linkTestStep(int index)
{
    const auto pair = static_cast<std::size_t>(index / 2);
    if (pair >= kLinkTestValues.size())
        return {Command::Write, 0}; // the cell is left at 0
    return {index % 2 == 0 ? Command::Write : Command::Read, kLinkTestValues.at(pair)};
}

void TransferEngine::nextStep()
{
    if (stopRequested_) {
        finish(TransferResult::Stopped);
        return;
    }
    switch (kind_) {
    case TransferKind::Program:
        if (address_ == 0) {
            if (const auto refused = refusalBeforeStart(kind_, image_)) {
                outcome_ = *refused;
                finish(TransferResult::Refused);
                return;
            }
        }
        sendImageCell();
        return;
    case TransferKind::Read:
    case TransferKind::Verify:
        Q_EMIT progress(address_);
        command_.startRead(address_, data_);
        return;
    case TransferKind::LinkTest: {
        const LinkTestStep step = linkTestStep(address_);
        if (step.command == Command::Write)
            command_.startWrite(address::kLinkTestCell, step.value);
        else
            command_.startRead(address::kLinkTestCell, 0);
        return;
    }
    }
}

void TransferEngine::sendImageCell()
{
    // The periodic refresh may have rewritten the cell since the start: it is
    // sent as it stands now.
    const int value = image_.at(address_);
    if (!fitsByte(value)) {
        outcome_.address = address_;
        outcome_.refusedValue = value;
        finish(TransferResult::Refused);
        return;
    }
    Q_EMIT progress(address_);
    command_.startWrite(address_, static_cast<std::uint8_t>(value));
}

void TransferEngine::onCommandFinished(const CommandResult &result)
{
    if (result.status != Status::Done) {
        failAt(result.status, result.portFailed);
        return;
    }
    const auto index = static_cast<std::size_t>(address_);
    if (kind_ == TransferKind::Read) {
        data_ = result.data;
        gathered_.at(index) = data_;
    } else if (kind_ == TransferKind::Verify) {
        data_ = result.data;
        if (data_ != image_.at(address_)) {
            outcome_.readValue = data_;
            failAt(Status::Mismatch, false);
            return;
        }
    }
    if (address_ == address::kLastAddress) {
        if (kind_ == TransferKind::Read) {
            outcome_.readImage.emplace();
            outcome_.readImage->assignBytes(gathered_);
        }
        finish(TransferResult::Success);
        return;
    }
    ++address_;
    nextStep();
}

void TransferEngine::onLinkTestCommandFinished(const CommandResult &result)
{
    const LinkTestStep step = linkTestStep(address_);
    const bool last = address_ == kLinkTestSteps - 1;
    if (last) {
        // The final write's status is not examined.
        finish(TransferResult::Success);
        return;
    }
    if (result.status != Status::Done) {
        failAt(result.status, result.portFailed);
        return;
    }
    if (step.command == Command::Read && result.data != step.value) {
        failAt(Status::Mismatch, false);
        return;
    }
    ++address_;
    nextStep();
}

void TransferEngine::failAt(Status status, bool portFailed)
{
    outcome_.status = status;
    outcome_.portFailed = portFailed;
    outcome_.address = kind_ == TransferKind::LinkTest ? address::kLinkTestCell : address_;
    finish(TransferResult::Failure);
}

void TransferEngine::finish(TransferResult result)
{
    outcome_.result = result;
    outcome_.medianCommandUs = times_.medianUs();
    outcome_.durationMs = clock_.elapsed();
    running_ = false;
    stopRequested_ = false;
    Q_EMIT finished(outcome_);
}

} // namespace torsa::link
