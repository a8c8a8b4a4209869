#include "TransferCommands.h"

#include "Output.h"

#include "files/FileSaving.h"
#include "files/FileTexts.h"
#include "files/ProductionFile.h"
#include "link/LinkPort.h"
#include "link/PortNames.h"
#include "link/TransferEngine.h"
#include "link/TransferTexts.h"
#include "store/MemoryImage.h"

#include <QEventLoop>
#include <QFileInfo>

#include <optional>
#include <unistd.h>

namespace torsa::cli {

using namespace Qt::StringLiterals;
using link::TransferKind;
using link::TransferOutcome;
using link::TransferResult;

namespace {

struct Request {
    TransferKind kind = TransferKind::Program;
    QString file;
    QString port;
};

std::optional<TransferKind> kindOf(const QString &command)
{
    if (command == u"program")
        return TransferKind::Program;
    if (command == u"read")
        return TransferKind::Read;
    if (command == u"verify")
        return TransferKind::Verify;
    if (command == u"test")
        return TransferKind::LinkTest;
    return std::nullopt;
}

// FILE (not for test) and --port PORT (or --port=PORT), in any order.
std::optional<Request> parseRequest(TransferKind kind, const QStringList &arguments)
{
    Request request{kind, {}, {}};
    bool haveFile = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == u"--port") {
            if (i + 1 >= arguments.size() || !request.port.isEmpty())
                return std::nullopt;
            request.port = arguments.at(++i);
        } else if (argument.startsWith(u"--port=")) {
            if (!request.port.isEmpty())
                return std::nullopt;
            request.port = argument.mid(7);
        } else if (const bool option = argument.startsWith(u'-') && argument != u"-";
                   !option && kind != TransferKind::LinkTest && !haveFile) {
            request.file = argument;
            haveFile = true;
        } else {
            return std::nullopt; // an unknown option, or one file too many
        }
    }
    if (request.port.isEmpty() || (kind != TransferKind::LinkTest && request.file.isEmpty()))
        return std::nullopt;
    return request;
}

QString usage()
{
    return u"Usage : torsa-cli program|read|verify FILE --port PORT\n"
           "        torsa-cli test --port PORT\n"_s;
}

int exitCodeFor(const TransferOutcome &outcome)
{
    switch (outcome.result) {
    case TransferResult::Success: return kExitSuccess;
    case TransferResult::Refused: return kExitUnreadableFile;
    case TransferResult::Stopped: return kExitCommunicationFailure;
    case TransferResult::Failure: break;
    }
    if (outcome.kind != TransferKind::LinkTest && outcome.status == link::Status::Mismatch)
        return kExitVerificationMismatch;
    return kExitCommunicationFailure;
}

// The progress line on a terminal: activity, percentage, elapsed and left.
class ProgressLine {
public:
    explicit ProgressLine(TransferKind kind)
        : kind_(kind)
        , enabled_(::isatty(::fileno(stderr)) == 1 && kind != TransferKind::LinkTest)
    {}

    void show(int address, std::int64_t elapsedMs)
    {
        constexpr std::int64_t kRefreshMs = 250;
        const int percent = link::text::percentNumber(address);
        if (!enabled_ || (percent == lastPercent_ && elapsedMs - lastMs_ < kRefreshMs))
            return;
        lastPercent_ = percent;
        lastMs_ = elapsedMs;
        shown_ = true;
        print(stderr,
              u"\r"_s + link::text::activity(kind_) + link::text::percent(address) + u"  "_s
                  + link::text::timeProgress(elapsedMs, address) + u"\x1b[K"_s);
    }

    void end()
    {
        if (shown_)
            print(stderr, u"\n"_s);
        shown_ = false;
    }

private:
    TransferKind kind_;
    bool enabled_;
    bool shown_ = false;
    int lastPercent_ = -1;
    std::int64_t lastMs_ = 0;
};

int run(const Request &request)
{
    MemoryImage image;
    if (request.kind == TransferKind::Program || request.kind == TransferKind::Verify) {
        // The file is checked before the port is touched.
        const auto fromFile = productionfile::read(request.file);
        if (!fromFile) {
            say(filetexts::openError(request.file));
            return kExitUnreadableFile;
        }
        image = *fromFile;
    }
    if (request.kind == TransferKind::Read && !files::canSave(request.file)) {
        // Better now than after a whole pass over the unit.
        say(filetexts::saveError(request.file));
        return kExitUnreadableFile;
    }

    link::LinkPort port;
    const link::LinkPort::OpenResult opened = port.open(link::devicePathFor(request.port));
    if (!opened.ok()) {
        say(link::text::portOpenFailed(request.port, opened.error));
        return kExitPortUnavailable;
    }

    link::TransferEngine engine(port, image);
    ProgressLine progress(request.kind);
    TransferOutcome outcome;
    QEventLoop loop;
    QObject::connect(&engine, &link::TransferEngine::progress, &loop,
                     [&](int address) { progress.show(address, engine.elapsedMs()); });
    QObject::connect(&engine, &link::TransferEngine::finished, &loop, [&](const TransferOutcome &result) {
        outcome = result;
        loop.quit();
    });
    engine.start(request.kind);
    loop.exec();
    progress.end();
    port.close();

    if (outcome.succeeded() && request.kind == TransferKind::Read && !productionfile::write(request.file, image)) {
        say(filetexts::saveError(request.file));
        return kExitUnreadableFile;
    }
    say(link::text::outcomeReport(outcome, image).text);
    return exitCodeFor(outcome);
}

} // namespace

bool isTransferCommand(const QString &command)
{
    return kindOf(command).has_value();
}

int runTransferCommand(const QString &command, const QStringList &arguments)
{
    const auto kind = kindOf(command);
    const auto request = kind ? parseRequest(*kind, arguments) : std::nullopt;
    if (!request) {
        print(stderr, usage());
        return kExitUsage;
    }
    return run(*request);
}

QString transferCommandsHelp()
{
    return u"  program FILE --port PORT\n"
           "                 send the production file FILE to the unit (its first 8192\n"
           "                 bytes, address 0 to 8191); the file is checked first\n"
           "  read FILE --port PORT\n"
           "                 read the unit's 8192 bytes into FILE; FILE is written, atomically,\n"
           "                 only once all of them are in\n"
           "  verify FILE --port PORT\n"
           "                 compare the unit with the production file FILE\n"
           "  test --port PORT\n"
           "                 link test: write and read back 0, 170, 255 at address 8191\n"
           "\n"
           "  PORT is COM1 to COM4 or a device path. On Linux COMn is the n-th serial port\n"
           "  present, USB adapters (ttyUSB*, ttyACM*) first, then the others, each group by\n"
           "  name; the environment variable TORSA_COMn (n = 1 to 4) pins COMn to a device,\n"
           "  e.g. TORSA_COM1=/dev/serial/by-id/usb-... On Windows COMn is the system's COMn.\n"
           "  Messages go to stderr; on a terminal a progress line shows the percentage,\n"
           "  the elapsed time and the time left.\n"
           "\n"
           "Exit status of program, read, verify and test:\n"
           "  0   success\n"
           "  1   communication failure (no answer, port lost), any link test failure\n"
           "  2   verification mismatch\n"
           "  3   the port cannot be opened (or is not a serial device)\n"
           "  4   the file cannot be read (program, verify) or written (read)\n"
           "  64  usage error\n"_s;
}

} // namespace torsa::cli
