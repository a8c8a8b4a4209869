#pragma once

// Programming, reading, verification and the link test: loops over the byte
// commands, one address after the other, driven by the event loop. The window
// and torsa-cli both run their transfers through this class.

#include "ByteCommand.h"
#include "LinkPace.h"
#include "TransferOutcome.h"

#include "store/AddressMap.h"

#include <QElapsedTimer>
#include <QObject>

#include <array>
#include <cstdint>
#include <optional>

namespace torsa {
class MemoryImage;
}

namespace torsa::link {

class LinkPort;

class TransferEngine : public QObject {
    Q_OBJECT

public:
    // The image is the session's one image, which the engine only reads:
    // programming sends each cell as it stands when its turn comes, and
    // verification compares with it; a read's bytes come back whole in the
    // outcome.
    TransferEngine(LinkPort &port, const MemoryImage &image, QObject *parent = nullptr);

    // Starts a transfer or the link test; false (and nothing done) while one
    // runs. finished() always comes after start() has returned.
    bool start(TransferKind kind);

    // Programming refuses an image holding a cell that does not fit a byte (a
    // negative empty count), before anything is sent, so that no unit is left
    // half-programmed: the outcome of that refusal; nothing otherwise.
    static std::optional<TransferOutcome> refusalBeforeStart(TransferKind kind, const MemoryImage &image);
    // Ends the transfer after the byte in progress ("Transfert interrompu.").
    void requestStop();

    bool isRunning() const { return running_; }
    TransferKind kind() const { return kind_; }
    std::int64_t elapsedMs() const { return clock_.isValid() ? clock_.elapsed() : 0; }

Q_SIGNALS:
    // The byte at this address is about to be transferred (not for the link test).
    void progress(int address);
    void finished(const torsa::link::TransferOutcome &outcome);

private:
    // One write or read of the link test at the link-test cell.
    struct LinkTestStep {
        Command command;
        std::uint8_t value; // written, or expected back
    };

    void nextStep();
    void sendImageCell();
    void onCommandFinished(const CommandResult &result);
    void onLinkTestCommandFinished(const CommandResult &result);
    void failAt(Status status, bool portFailed);
    void finish(TransferResult result);

    static constexpr std::array<std::uint8_t, 3> kLinkTestValues{0, 170, 255};
    static constexpr int kLinkTestSteps = 2 * static_cast<int>(kLinkTestValues.size()) + 1;
    static LinkTestStep linkTestStep(int index);

    const MemoryImage &image_;
    ByteCommand command_;
    QElapsedTimer clock_;
    std::array<std::uint8_t, address::kImageSize> gathered_{};
    TransferOutcome outcome_;
    CommandTimes times_;
    TransferKind kind_ = TransferKind::Program;
    int address_ = 0;       // the address in progress (link test: the step)
    std::uint8_t data_ = 0; // the read data variable, carried from address to address
    bool running_ = false;
    bool stopRequested_ = false;
};

} // namespace torsa::link
