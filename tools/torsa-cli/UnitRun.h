#pragma once

// One unit of a torsa-cli run: its own port and transfer engine, the command,
// then the verification when asked for, each step reported as it ends. Units
// of one run share nothing but the event loop.

#include "Diagnostic.h"

#include "link/LinkPort.h"
#include "link/TransferEngine.h"
#include "link/TransferOutcome.h"
#include "store/MemoryImage.h"

#include <QByteArray>
#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <cstdint>
#include <optional>

namespace torsa::cli {

class UnitRun : public QObject {
    Q_OBJECT

public:
    // A port as the user gave it, the device path it is opened at (empty: a
    // COMn that stands for no port here) and the device it stands for, links
    // resolved, as shown and logged.
    struct Port {
        QString given;
        QString path;
        QString device;
    };

    // What every unit of a run does.
    struct Job {
        link::TransferKind kind = link::TransferKind::Program;
        bool verifyAfter = false; // program, then verify when programming succeeded
        QString file;             // FILE as given; read: where the unit's bytes go
        MemoryImage image;        // program, verify: the production file
    };

    // A finished command of the unit.
    struct Step {
        link::TransferKind kind = link::TransferKind::Program;
        QDateTime started;
        std::int64_t durationMs = 0;
        int exitCode = 0;
        QString text;                                // the message that ends it, as for one port
        QByteArray sha256;                           // hex, of the 8192 bytes sent, compared or read; empty for none
        std::optional<Diagnostic> diagnostic;        // where a failure stopped
        std::optional<std::int64_t> medianCommandUs; // the median time per command; none when none was answered
    };

    UnitRun(Port port, Job job, QObject *parent = nullptr);

    // Opens the port and starts; every end comes from the event loop, after
    // start() has returned.
    void start();
    // Stops after the byte in progress; no further step starts.
    void stop();

    const Port &port() const { return port_; }
    bool isFinished() const { return finished_; }
    // The step in progress (the last one once finished) and where it stands.
    link::TransferKind kind() const { return kind_; }
    int address() const { return address_; }
    // Passes still to come after the one in progress: the verification after
    // the programming.
    int passesAfter() const { return kind_ == link::TransferKind::Program && job_.verifyAfter ? 1 : 0; }
    std::int64_t elapsedMs() const { return engine_.elapsedMs(); }
    // Once finished: its last step and the time from start to end.
    const Step &lastStep() const { return lastStep_; }
    std::int64_t durationMs() const { return durationMs_; }
    // Once finished: what the unit's port is told when its commands went clearly
    // slower than the line (an adapter holding the answers); nothing otherwise.
    std::optional<QString> slowLinkWarning() const;

Q_SIGNALS:
    void progress(int address);
    void stepFinished(const torsa::cli::UnitRun::Step &step);
    void finished();

private:
    void startStep(link::TransferKind kind);
    void onEngineFinished(const link::TransferOutcome &outcome);
    void endStep(int exitCode, const QString &text, const std::optional<Diagnostic> &diagnostic = std::nullopt);
    // Of the bytes the step sent, compared or read; empty for none.
    QByteArray imageHash(int exitCode) const;

    Port port_;
    Job job_;
    link::LinkPort link_;
    link::TransferEngine engine_;
    QElapsedTimer clock_;
    QElapsedTimer stepClock_;
    QDateTime stepStarted_;
    Step lastStep_;
    link::TransferKind kind_ = link::TransferKind::Program;
    std::int64_t durationMs_ = 0;
    std::optional<std::int64_t> stepMedianUs_;
    int address_ = 0;
    bool finished_ = false;
    bool stopRequested_ = false;
};

} // namespace torsa::cli
