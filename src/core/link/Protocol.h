#pragma once

// The unit's byte protocol: 7-byte frames for writing ("EC") and reading ("LI")
// one EEPROM byte, and how the unit's answers are recognised. Pure functions
// over bytes; the port and the waiting live in LinkPort and ByteCommand.

#include <QByteArray>
#include <QByteArrayView>

#include <chrono>
#include <cstdint>
#include <optional>

namespace torsa::link {

inline constexpr char kStx = 2;
inline constexpr char kEtx = 3;
inline constexpr char kAck = 6;

inline constexpr int kFrameSize = 7;
inline constexpr int kReadAnswerSize = 3; // STX, the byte, ETX
inline constexpr int kAddressHighDivisor = 256;

// From the moment the frame is handed to the port.
inline constexpr std::chrono::milliseconds kAnswerTimeout{400};

// Line settings: 9600,N,8,1.
inline constexpr int kBaudRate = 9600;

// Result of one byte command and of a transfer step.
enum class Status : std::uint8_t {
    Done = 0,     // the unit answered
    Timeout = 1,  // no answer within the time-out (or the port failed)
    Mismatch = 4, // the byte read differs from the one expected
};

constexpr int statusValue(Status s)
{
    return static_cast<int>(s);
}

enum class Command : std::uint8_t { Write, Read };

// STX 'E' 'C' high low data ETX. The address is 0 to 8191.
QByteArray writeFrame(int address, std::uint8_t data);
// STX 'L' 'I' high low data ETX; data is the caller's data variable as passed.
QByteArray readFrame(int address, std::uint8_t data);
QByteArray frame(Command command, int address, std::uint8_t data);

// STX ACK ETX adjacent anywhere in what arrived since the frame was sent.
bool containsWriteAck(QByteArrayView received);

// The read wait ends once at least three bytes are in.
constexpr bool readAnswerComplete(QByteArrayView received)
{
    return received.size() >= kReadAnswerSize;
}

// The byte a read answer carries: the second-last byte when the third-last is
// STX; nothing otherwise (the last byte is not examined).
std::optional<std::uint8_t> readAnswerByte(QByteArrayView received);

} // namespace torsa::link
