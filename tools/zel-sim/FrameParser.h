#pragma once

// Cuts the byte stream the unit receives into command frames. Garbage between
// frames, and an STX that starts no valid frame, are skipped: the parser
// resynchronises on the next STX.

#include "link/Protocol.h"

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>
#include <optional>

namespace zelsim {

struct Frame {
    torsa::link::Command command = torsa::link::Command::Write;
    int address = 0;
    std::uint8_t data = 0;
};

class FrameParser {
public:
    void feed(QByteArrayView bytes) { buffer_.append(bytes); }
    // The next complete frame, if one is in.
    std::optional<Frame> next();
    qsizetype pending() const { return buffer_.size(); }

private:
    QByteArray buffer_;
};

} // namespace zelsim
