#include "FrameParser.h"

#include "store/AddressMap.h"

namespace zelsim {

using torsa::link::Command;

namespace {

std::optional<Frame> frameAt(QByteArrayView bytes)
{
    using namespace torsa::link;
    if (bytes[0] != kStx || bytes[kFrameSize - 1] != kEtx)
        return std::nullopt;
    Frame frame;
    if (bytes[1] == 'E' && bytes[2] == 'C')
        frame.command = Command::Write;
    else if (bytes[1] == 'L' && bytes[2] == 'I')
        frame.command = Command::Read;
    else
        return std::nullopt;
    const int high = static_cast<std::uint8_t>(bytes[3]);
    const int low = static_cast<std::uint8_t>(bytes[4]);
    frame.address = high * kAddressHighDivisor + low;
    if (frame.address > torsa::address::kLastAddress)
        return std::nullopt;
    frame.data = static_cast<std::uint8_t>(bytes[5]);
    return frame;
}

} // namespace

std::optional<Frame> FrameParser::next()
{
    using torsa::link::kFrameSize;
    using torsa::link::kStx;
    for (;;) {
        const qsizetype start = buffer_.indexOf(kStx);
        if (start < 0) {
            buffer_.clear();
            return std::nullopt;
        }
        buffer_.remove(0, start);
        if (buffer_.size() < kFrameSize)
            return std::nullopt;
        if (const auto frame = frameAt(QByteArrayView(buffer_).first(kFrameSize))) {
            buffer_.remove(0, kFrameSize);
            return frame;
        }
        buffer_.remove(0, 1); // not a frame: look for the next STX
    }
}

} // namespace zelsim
