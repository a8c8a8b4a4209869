#include "Protocol.h"

#include "store/AddressMap.h"

namespace torsa::link {

namespace {

constexpr char kWriteLetters[] = "EC";
constexpr char kReadLetters[] = "LI";

} // namespace

QByteArray frame(Command command, int address, std::uint8_t data)
{
    Q_ASSERT(address >= 0 && address <= address::kLastAddress);
    const char *letters = command == Command::Write ? kWriteLetters : kReadLetters;
    const int high = address / kAddressHighDivisor;
    const int low = address - kAddressHighDivisor * high;
    QByteArray bytes;
    bytes.reserve(kFrameSize);
    bytes.append(kStx);
    bytes.append(letters[0]);
    bytes.append(letters[1]);
    bytes.append(static_cast<char>(high));
    bytes.append(static_cast<char>(low));
    bytes.append(static_cast<char>(data));
    bytes.append(kEtx);
    return bytes;
}

QByteArray writeFrame(int address, std::uint8_t data)
{
    return frame(Command::Write, address, data);
}

QByteArray readFrame(int address, std::uint8_t data)
{
    return frame(Command::Read, address, data);
}

bool containsWriteAck(QByteArrayView received)
{
    constexpr char ack[] = {kStx, kAck, kEtx};
    return received.indexOf(QByteArrayView(ack, sizeof ack)) >= 0;
}

std::optional<std::uint8_t> readAnswerByte(QByteArrayView received)
{
    const qsizetype n = received.size();
    if (n < kReadAnswerSize || received[n - 3] != kStx)
        return std::nullopt;
    return static_cast<std::uint8_t>(received[n - 2]);
}

} // namespace torsa::link
