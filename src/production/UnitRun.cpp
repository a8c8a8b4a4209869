#include "UnitRun.h"

#include "ImageHash.h"

#include "files/FileSaving.h"
#include "files/ProductionFile.h"
#include "link/SlowLinkTexts.h"
#include "link/TransferTexts.h"
#include "session/TransferReport.h"

#include <utility>

namespace torsa::production {

using link::TransferKind;
using link::TransferOutcome;
using link::TransferVerdict;

UnitRun::UnitRun(Port port, Job job, link::LinkPort &link, QObject *parent)
    : QObject(parent)
    , port_(std::move(port))
    , job_(std::move(job))
    , link_(link)
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
    startStep(job_.kind);
}

void UnitRun::refuse(const QString &text)
{
    clock_.start();
    stepClock_.start();
    stepStarted_ = QDateTime::currentDateTime();
    QMetaObject::invokeMethod(
        this, [this, text] { endStep(TransferVerdict::PortRefused, text); }, Qt::QueuedConnection);
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
    if (outcome.readImage)
        job_.image = *outcome.readImage;
    if (outcome.succeeded() && kind_ == TransferKind::Read) {
        const files::SaveResult saved = productionfile::write(job_.file, job_.image);
        if (saved != files::SaveResult::Saved) {
            endStep(TransferVerdict::FileNotWritten, files::saveFailureText(job_.file, saved), std::nullopt,
                    outcome.medianCommandUs);
            return;
        }
    }
    endStep(link::verdictOf(outcome), reports::forTransfer(outcome, job_.image).text, diagnosticOf(outcome, job_.image),
            outcome.medianCommandUs);
}

void UnitRun::endStep(TransferVerdict verdict, const QString &text, const std::optional<Diagnostic> &diagnostic,
                      std::optional<std::int64_t> medianCommandUs)
{
    lastStep_ =
        Step{kind_, stepStarted_, stepClock_.elapsed(), verdict, text, imageHash(verdict), diagnostic, medianCommandUs};
    Q_EMIT stepFinished(lastStep_);
    // Started from inside the programming's end, so that a stop request
    // never falls between the two steps. A stop that came before it leaves
    // the unit unverified: that is an interrupted verification, not a success.
    if (verdict == TransferVerdict::Success && kind_ == TransferKind::Program && job_.verifyAfter) {
        if (stopRequested_) {
            kind_ = TransferKind::Verify;
            stepClock_.start();
            stepStarted_ = QDateTime::currentDateTime();
            endStep(TransferVerdict::Stopped, link::text::stopped());
        } else {
            startStep(TransferKind::Verify);
        }
        return;
    }
    finished_ = true;
    durationMs_ = clock_.elapsed();
    Q_EMIT finished();
}

std::optional<QString> UnitRun::slowLinkWarning() const
{
    return link::text::slowLink(port_.given, lastStep_.medianCommandUs, link_.adapter());
}

QByteArray UnitRun::imageHash(TransferVerdict verdict) const
{
    const bool fromFile = kind_ == TransferKind::Program || kind_ == TransferKind::Verify;
    const bool read = kind_ == TransferKind::Read && verdict == TransferVerdict::Success;
    return fromFile || read ? sha256Hex(job_.image) : QByteArray();
}

} // namespace torsa::production
