// The byte command itself (the port class and the state machine that waits
// for the answer) fed any answer, in any pieces, by a unit on a real
// pseudo-terminal in this process. Each piece is put on the line only once the
// port has reported the one before, so that the command judges the answer
// after each piece exactly as the pure recognition does after each piece.
// Bytes put on the line before the frame (a late answer to an earlier command)
// must never count as the answer.
//
// Input: options (bit 0: read, bit 1: the first piece arrives before the
// frame is sent), the data byte, two address bytes, then pieces, each a length
// byte followed by that many bytes. The answer is always completed at the end
// (an acknowledgement after a write, three bytes in all for a read), so that no
// run waits for the time-out.

#include "PseudoTerminal.h"

#include "link/ByteCommand.h"
#include "link/LinkPort.h"
#include "link/Protocol.h"
#include "store/AddressMap.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QString>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <poll.h>
#include <unistd.h>
#include <vector>

using namespace torsa;
using namespace torsa::link;

namespace {

constexpr int kGuardMs = 2000; // far beyond the 0.4 s time-out: a hang

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

// The unit's end of the line: the simulator's pseudo-terminal.
class Line {
public:
    Line() { check(terminal_.open().isEmpty(), "pseudo-terminal"); }

    QString path() const { return terminal_.devicePath(); }

    void put(const QByteArray &bytes) const
    {
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n =
                ::write(terminal_.masterFd(), bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
            check(n > 0 || errno == EINTR || errno == EAGAIN, "write to the line");
            done += n > 0 ? n : 0;
        }
    }

    // The next n bytes the program sent, waiting for them a bounded time.
    QByteArray take(qsizetype n) const
    {
        QByteArray got;
        const QDeadlineTimer guard(kGuardMs);
        while (got.size() < n && !guard.hasExpired()) {
            pollfd p{terminal_.masterFd(), POLLIN, 0};
            if (::poll(&p, 1, 10) <= 0)
                continue;
            char buffer[64];
            const ssize_t r =
                ::read(terminal_.masterFd(), buffer, static_cast<size_t>(std::min<qsizetype>(n - got.size(), 64)));
            if (r > 0)
                got.append(buffer, r);
        }
        return got;
    }

private:
    zelsim::PseudoTerminal terminal_;
};

struct Rig {
    Line line;
    LinkPort port;
    ByteCommand command{port};
    int notices = 0; // received() signals of the port
    std::optional<CommandResult> result;

    Rig()
    {
        check(port.open(line.path()).ok(), "the port opens the pseudo-terminal");
        // Connected after the command: runs once it has taken the bytes.
        QObject::connect(&port, &LinkPort::received, &port, [this] { ++notices; });
        QObject::connect(&command, &ByteCommand::finished, &command, [this](const CommandResult &r) { result = r; });
    }

    // Runs the event loop until the port has reported one more arrival, or the
    // command has ended; then lets an end the command has just queued arrive.
    void awaitNotice(int before)
    {
        const QDeadlineTimer guard(kGuardMs);
        while (notices == before && !result && !guard.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        QCoreApplication::processEvents();
    }

    void awaitResult()
    {
        const QDeadlineTimer guard(kGuardMs);
        while (!result && !guard.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }
};

Rig &rig()
{
    static Rig *const instance = new Rig; // lives as long as the process
    return *instance;
}

// The pure recognition, piece by piece: the write ends on the piece that
// completes STX ACK ETX; the read on the piece that brings the third byte.
struct Judged {
    std::uint8_t data;
    std::size_t pieces; // pieces taken in when it ended
};

Judged judge(Command command, std::uint8_t data, const std::vector<QByteArray> &pieces)
{
    QByteArray answer;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        answer.append(pieces[i]);
        if (command == Command::Write && containsWriteAck(answer))
            return {data, i + 1};
        if (command == Command::Read && readAnswerComplete(answer)) {
            const auto byte = readAnswerByte(answer);
            return {byte ? *byte : data, i + 1};
        }
    }
    return {data, pieces.size()};
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    [[maybe_unused]] static QCoreApplication *const app = new QCoreApplication(*argc, *argv);
    rig();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    constexpr std::size_t kHeader = 4;
    if (size < kHeader)
        return 0;
    const Command command = (data[0] & 1) != 0 ? Command::Read : Command::Write;
    const bool staleFirst = (data[0] & 2) != 0;
    const std::uint8_t passed = data[1];
    const int address = (data[2] * 256 + data[3]) % address::kImageSize;

    std::vector<QByteArray> pieces;
    qsizetype total = 0;
    for (std::size_t i = kHeader; i < size;) {
        const std::size_t length = std::min<std::size_t>(data[i], size - i - 1);
        if (length > 0)
            pieces.emplace_back(reinterpret_cast<const char *>(data + i + 1), static_cast<qsizetype>(length));
        i += 1 + length;
    }
    QByteArray stale;
    if (staleFirst && !pieces.empty()) {
        stale = pieces.front();
        pieces.erase(pieces.begin());
    }
    for (const QByteArray &piece : pieces)
        total += piece.size();
    if (command == Command::Write)
        pieces.emplace_back(QByteArray{"\x02\x06\x03", 3});
    else if (total < kReadAnswerSize)
        pieces.emplace_back(QByteArray(kReadAnswerSize - total, '\x02'));

    Rig &r = rig();
    r.result.reset();
    if (!stale.isEmpty()) {
        // A late answer: in the port's hands before the frame goes out.
        const int before = r.notices;
        r.line.put(stale);
        r.awaitNotice(before);
    }

    if (command == Command::Write)
        r.command.startWrite(address, passed);
    else
        r.command.startRead(address, passed);
    check(r.line.take(kFrameSize) == frame(command, address, passed), "the frame on the line");

    std::size_t delivered = 0;
    bool oneNoticeEach = true;
    for (const QByteArray &piece : pieces) {
        if (r.result)
            break;
        const int before = r.notices;
        r.line.put(piece);
        r.awaitNotice(before);
        oneNoticeEach = oneNoticeEach && r.notices == before + 1;
        ++delivered;
    }
    r.awaitResult();
    check(r.result.has_value(), "the command ends");
    check(r.result->status == Status::Done && !r.result->portFailed, "answered");

    const Judged expected = judge(command, passed, pieces);
    if (oneNoticeEach) {
        check(delivered == expected.pieces, "ends on the piece that completes the answer");
        if (command == Command::Read)
            check(r.result->data == expected.data, "the byte read");
    }
    return 0;
}
