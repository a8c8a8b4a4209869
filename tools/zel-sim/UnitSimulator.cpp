#include "UnitSimulator.h"

#include "files/ProductionFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <initializer_list>
#include <optional>
#include <unistd.h>
#include <utility>

namespace zelsim {

using namespace Qt::StringLiterals;
using torsa::link::Command;

namespace {

constexpr qint64 kNsPerSecond = 1'000'000'000;
constexpr qint64 kNsPerMs = 1'000'000;
constexpr qint64 kBitsPerByte = 10; // start, 8 data, stop
constexpr char kJunkByte = 'U';
constexpr qsizetype kReadChunk = 4096;
// Unpaced, the two pieces of a split acknowledgement still leave the unit
// apart, so that the program reads them separately.
constexpr qint64 kSplitGapNs = 2 * kNsPerMs;
// What falls due this close together goes out in one wake-up.
constexpr qint64 kDueSlackNs = 20'000;

QByteArray bytesOf(std::initializer_list<char> list)
{
    return QByteArray(list.begin(), static_cast<qsizetype>(list.size()));
}

} // namespace

UnitSimulator::UnitSimulator(int masterFd, SimOptions options, QObject *parent)
    : QObject(parent)
    , master_(masterFd)
    , options_(std::move(options))
    , notifier_(masterFd, QSocketNotifier::Read)
    , adapter_(options_.adapterLatencyMs, options_.adapterControlPath, options_.verbose)
{
    if (options_.baud > 0)
        byteNs_ = kBitsPerByte * kNsPerSecond / options_.baud;
    clock_.start();
    connect(&notifier_, &QSocketNotifier::activated, this, &UnitSimulator::onReadable);
    connect(&timer_, &LineTimer::timeout, this, &UnitSimulator::onTimer);
}

QString UnitSimulator::load(const QString &path)
{
    const std::optional<torsa::MemoryImage> image = torsa::productionfile::read(path);
    if (!image)
        return u"not a readable file of 8192 bytes"_s;
    std::ranges::transform(image->cells(), eeprom_.begin(), [](int cell) { return static_cast<std::uint8_t>(cell); });
    return {};
}

void UnitSimulator::takeAway()
{
    absent_ = true;
    incoming_.clear();
    outgoing_.clear();
    timer_.stop();
    parser_ = FrameParser();
}

QString UnitSimulator::putIn()
{
    eeprom_ = Eeprom{};
    absent_ = false;
    ++unitNumber_;
    return options_.loadPath.isEmpty() ? QString() : load(options_.loadPath);
}

void UnitSimulator::onReadable()
{
    QByteArray bytes;
    std::array<char, kReadChunk> buffer{};
    for (;;) {
        const ssize_t n = ::read(master_, buffer.data(), buffer.size());
        if (n > 0) {
            bytes.append(buffer.data(), n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0 || errno != EAGAIN) {
            // The slave is held open here, so this should not happen; do not
            // spin on it.
            std::perror("zel-sim: read");
            notifier_.setEnabled(false);
        }
        break;
    }
    if (bytes.isEmpty() || dead_ || absent_)
        return;
    const qint64 t = now();
    if (answeredAt_ >= 0 && !options_.gapLogPath.isEmpty()) {
        answerGapsNs_.push_back(t - answeredAt_);
        answeredAt_ = -1;
    }
    if (!paced() && incoming_.empty() && outgoing_.empty()) {
        receive(bytes, t);
        return;
    }
    // The bytes cross the line one after the other, after what came before.
    rxFreeAt_ = std::max(rxFreeAt_, t) + byteNs_ * bytes.size();
    incoming_.push_back({bytes, rxFreeAt_});
    rearm();
}

void UnitSimulator::onTimer()
{
    for (;;) {
        if (dead_)
            return;
        const qint64 t = now();
        if (!incoming_.empty() && incoming_.front().at <= t + kDueSlackNs) {
            const Chunk chunk = incoming_.front();
            incoming_.pop_front();
            receive(chunk.bytes, chunk.at);
            continue;
        }
        if (!outgoing_.empty() && outgoing_.front().at <= t + kDueSlackNs) {
            const QByteArray bytes = outgoing_.front().bytes;
            outgoing_.pop_front();
            writeOut(bytes);
            continue;
        }
        break;
    }
    rearm();
}

void UnitSimulator::receive(const QByteArray &bytes, qint64 at)
{
    parser_.feed(bytes);
    while (!dead_) {
        const auto frame = parser_.next();
        if (!frame)
            break;
        handle(*frame, at);
    }
}

void UnitSimulator::handle(const Frame &frame, qint64 at)
{
    using torsa::link::kAck;
    using torsa::link::kEtx;
    using torsa::link::kStx;
    const bool write = frame.command == Command::Write;
    if (options_.verbose)
        std::fprintf(stderr, "zel-sim: %s %d %d\n", write ? "EC" : "LI", frame.address, frame.data);
    if (options_.dieAt && frame.address == *options_.dieAt) {
        dead_ = true;
        notifier_.setEnabled(false);
        timer_.stop();
        Q_EMIT died(frame.address);
        return;
    }
    if (options_.silentFrom && frame.address >= *options_.silentFrom)
        return;
    ++framesHandled_;
    const bool delayed = !options_.delayFrom || frame.address >= *options_.delayFrom;
    const qint64 readyAt = at + (delayed ? options_.delayMs : 0) * kNsPerMs;
    const QByteArray junk(options_.junk, kJunkByte);
    const auto cell = static_cast<std::size_t>(frame.address);
    if (!write) {
        const char byte = options_.readZero ? char(0) : static_cast<char>(eeprom_.at(cell));
        answer(junk + bytesOf({kStx, byte, kEtx}), readyAt, 0);
        return;
    }
    const bool stuck =
        options_.stuckCell && options_.stuckCell->unit == unitNumber_ && options_.stuckCell->address == frame.address;
    if (!stuck)
        eeprom_.at(cell) = frame.data;
    if (options_.splitAck) {
        answer(junk + QByteArray(1, kStx), readyAt, 0);
        answer(bytesOf({kAck, kEtx}), readyAt, kSplitGapNs);
        return;
    }
    answer(junk + bytesOf({kStx, kAck, kEtx}), readyAt, 0);
}

void UnitSimulator::answer(const QByteArray &bytes, qint64 readyAt, qint64 minimumGapNs)
{
    const qint64 previous = txFreeAt_;
    txFreeAt_ = std::max({readyAt, txFreeAt_}) + byteNs_ * bytes.size();
    if (minimumGapNs > 0)
        txFreeAt_ = std::max(txFreeAt_, previous + minimumGapNs);
    // Through a USB adapter, the PC gets the bytes at its timer's next tick.
    const qint64 releaseAt = adapter_.releaseAt(txFreeAt_);
    if (outgoing_.empty() && releaseAt <= now()) {
        writeOut(bytes);
        return;
    }
    outgoing_.push_back({bytes, releaseAt});
    rearm();
}

void UnitSimulator::writeOut(const QByteArray &bytes)
{
    if (options_.verbose)
        std::fprintf(stderr, "zel-sim: -> %s\n", bytes.toHex(' ').constData());
    // Non-blocking: with nobody reading the line, the bytes are lost as on a
    // real line.
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    answeredAt_ = now();
}

void UnitSimulator::rearm()
{
    qint64 next = -1;
    if (!incoming_.empty())
        next = incoming_.front().at;
    if (!outgoing_.empty())
        next = next < 0 ? outgoing_.front().at : std::min(next, outgoing_.front().at);
    if (next < 0) {
        timer_.stop();
        return;
    }
    timer_.start(next - now());
}

} // namespace zelsim
