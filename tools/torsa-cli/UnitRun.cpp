#include "UnitRun.h"

#include "ImageHash.h"
#include "Output.h"

#include "files/FileTexts.h"
#include "files/ProductionFile.h"
#include "link/SlowLinkTexts.h"
#include "link/TransferTexts.h"
#include "link/TransferVerdict.h"
#include "session/TransferReport.h"

#include <utility>

namespace torsa::cli {

using link::TransferKind;
using link::TransferOutcome;
using link::TransferVerdict;

namespace {

int exitCodeFor(TransferVerdict verdict)
{
    switch (verdict) {
    case TransferVerdict::Success: return kExitSuccess;
    case TransferVerdict::CellRefused: return kExitUnreadableFile;
    case TransferVerdict::PortRefused: return kExitPortUnavailable;
    case TransferVerdict::Mismatch: return kExitVerificationMismatch;
    case TransferVerdict::Stopped:
    case TransferVerdict::NoAnswer:
    case TransferVerdict::LinkTestFailed: break;
    }
    return kExitCommunicationFailure;
}

} // namespace

UnitRun::UnitRun(Port port, Job job, QObject *parent)
    : QObject(parent)
    , port_(std::move(port))
    , job_(std::move(job))
    , engine_(link_, job_.image)
    , kind_(job_.kind)
{
    connect(&engine_, &link::TransferEngine::progress, this, [this](int address) {
        address_ = address;
        Q_EMIT progress(address);
    });
    connect(&engine_, &link::TransferEngine::finished, this, &UnitRun::onEngineFinished);
}

void UnitRun::start()
{
    clock_.start();
    stepClock_.start();
    stepStarted_ = QDateTime::currentDateTime();
    const link::LinkPort::OpenResult opened = link_.open(port_.path);
    if (!opened.ok()) {
        QMetaObject::invokeMethod(
            this,
            [this, error = opened.error] {
                endStep(exitCodeFor(TransferVerdict::PortRefused), link::text::portOpenFailed(port_.given, error));
            },
            Qt::QueuedConnection);
        return;
    }
    startStep(job_.kind);
}

void UnitRun::stop()
{
    stopRequested_ = true;
    engine_.requestStop();
}

void UnitRun::startStep(TransferKind kind)
{
    kind_ = kind;
    address_ = 0;
    stepClock_.start();
    stepStarted_ = QDateTime::currentDateTime();
    engine_.start(kind);
}

void UnitRun::onEngineFinished(const TransferOutcome &outcome)
{
    stepMedianUs_ = outcome.medianCommandUs;
    if (outcome.readImage)
        job_.image = *outcome.readImage;
    if (outcome.succeeded() && kind_ == TransferKind::Read) {
        const files::SaveResult saved = productionfile::write(job_.file, job_.image);
        if (saved != files::SaveResult::Saved) {
            QString text = filetexts::saveError(job_.file);
            if (saved == files::SaveResult::LeftIncomplete)
                text += u'\n' + files::incompleteFileNote(job_.file);
            endStep(kExitUnreadableFile, text);
            return;
        }
    }
    endStep(exitCodeFor(link::verdictOf(outcome)), reports::forTransfer(outcome, job_.image).text,
            diagnosticOf(outcome, job_.image));
}

void UnitRun::endStep(int exitCode, const QString &text, const std::optional<Diagnostic> &diagnostic)
{
    lastStep_ = Step{kind_, stepStarted_,        stepClock_.elapsed(), exitCode,
                     text,  imageHash(exitCode), diagnostic,           std::exchange(stepMedianUs_, std::nullopt)};
    Q_EMIT stepFinished(lastStep_);
    // Started from inside the programming's end, so that a stop request
    // never falls between the two steps. A stop that came before it leaves
    // the unit unverified: that is an interrupted verification, not a success.
    if (exitCode == kExitSuccess && kind_ == TransferKind::Program && job_.verifyAfter) {
        if (stopRequested_) {
            kind_ = TransferKind::Verify;
            stepClock_.start();
            stepStarted_ = QDateTime::currentDateTime();
            endStep(exitCodeFor(TransferVerdict::Stopped), link::text::stopped());
        } else {
            startStep(TransferKind::Verify);
        }
        return;
    }
    link_.close();
    finished_ = true;
    durationMs_ = clock_.elapsed();
    Q_EMIT finished();
}

std::optional<QString> UnitRun::slowLinkWarning() const
{
    return link::text::slowLink(port_.given, lastStep_.medianCommandUs, link_.adapter());
}

QByteArray UnitRun::imageHash(int exitCode) const
{
    const bool fromFile = kind_ == TransferKind::Program || kind_ == TransferKind::Verify;
    const bool read = kind_ == TransferKind::Read && exitCode == kExitSuccess;
    return fromFile || read ? sha256Hex(job_.image) : QByteArray();
}

} // namespace torsa::cli
