// Any byte stream as the unit's answer to a write or a read command, cut into
// any pieces as the port may deliver them, through the answer recognition the
// byte commands use: the answer string grows piece by piece and is judged
// after each piece, as the command does when the port reports bytes.
//
// Input: one byte for the command (bit 0: read) and one for the data byte the
// read passes; then pieces, each a length byte followed by that many bytes.

#include "link/Protocol.h"

#include <QByteArray>
#include <QByteArrayView>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

using namespace torsa::link;

namespace {

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

struct Judged {
    bool answered = false;
    std::uint8_t data = 0;
    qsizetype consumed = 0; // bytes taken in when the command ended
};

// As the command judges: after every piece, the whole answer so far.
Judged judge(Command command, std::uint8_t data, const std::vector<QByteArray> &pieces)
{
    Judged result{false, data, 0};
    QByteArray answer;
    for (const QByteArray &piece : pieces) {
        answer.append(piece);
        if (command == Command::Write) {
            result.answered = containsWriteAck(answer);
        } else if (readAnswerComplete(answer)) {
            result.answered = true;
            if (const auto byte = readAnswerByte(answer))
                result.data = *byte;
        }
        if (result.answered) {
            result.consumed = answer.size();
            return result;
        }
    }
    result.consumed = answer.size();
    return result;
}

bool holdsAck(QByteArrayView bytes)
{
    constexpr std::uint8_t ack[] = {2, 6, 3};
    const auto *first = reinterpret_cast<const std::uint8_t *>(bytes.data());
    const auto *last = first + bytes.size();
    return std::search(first, last, std::begin(ack), std::end(ack)) != last;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    const Command command = (data[0] & 1) != 0 ? Command::Read : Command::Write;
    const std::uint8_t passed = data[1];

    std::vector<QByteArray> pieces;
    QByteArray stream;
    for (std::size_t i = 2; i < size;) {
        const std::size_t length = std::min<std::size_t>(data[i], size - i - 1);
        const QByteArray piece(reinterpret_cast<const char *>(data + i + 1), static_cast<qsizetype>(length));
        pieces.push_back(piece);
        stream.append(piece);
        i += 1 + length;
    }

    const Judged pieced = judge(command, passed, pieces);
    std::vector<QByteArray> whole{stream};
    std::vector<QByteArray> oneByOne;
    for (const char byte : stream)
        oneByOne.emplace_back(1, byte);
    const Judged bytewise = judge(command, passed, oneByOne);

    if (command == Command::Write) {
        // However the answer is cut, the acknowledgement is found exactly
        // when the three bytes stand adjacent somewhere in it, and the
        // command ends with the piece that completes them.
        check(pieced.answered == holdsAck(stream), "write: acknowledgement found whatever the cuts");
        check(bytewise.answered == pieced.answered, "write: the cuts do not matter");
        if (bytewise.answered) {
            check(holdsAck(QByteArrayView(stream).first(bytewise.consumed)), "write: ends on the ack");
            check(!holdsAck(QByteArrayView(stream).first(bytewise.consumed - 1)), "write: ends at once");
            check(pieced.consumed >= bytewise.consumed, "write: not before the ack is in");
        }
        check(judge(command, passed, whole).answered == pieced.answered, "write: one piece");
        return 0;
    }

    // Read: the wait ends with the piece that brings the third byte; the
    // byte read is the second-last one in when the third-last is STX, and the
    // data as passed otherwise.
    check(pieced.answered == (stream.size() >= kReadAnswerSize), "read: three bytes end the wait");
    if (pieced.answered) {
        const QByteArrayView in = QByteArrayView(stream).first(pieced.consumed);
        const qsizetype n = in.size();
        const bool framed = in[n - 3] == kStx;
        check(pieced.data == (framed ? static_cast<std::uint8_t>(in[n - 2]) : passed), "read: the byte read");
        check(bytewise.consumed == kReadAnswerSize, "read: byte by byte, the third byte ends it");
    }
    return 0;
}
