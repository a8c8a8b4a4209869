#include "TransferCommands.h"

#include "CommandTable.h"
#include "ImageHash.h"
#include "OptionValue.h"
#include "Output.h"
#include "RunConsole.h"
#include "RunJob.h"
#include "RunLog.h"
#include "UnitRun.h"

#include "files/FileSaving.h"
#include "files/FileTexts.h"
#include "files/ProductionFile.h"
#include "link/PortNames.h"

#include <QFileInfo>

#include <optional>
#include <vector>

namespace torsa::cli {

using namespace Qt::StringLiterals;
using link::TransferKind;
using production::isSha256Hex;
using production::optionValue;
using production::UnitRun;

namespace {

struct Request {
    TransferKind kind = TransferKind::Program;
    QString file;
    QStringList ports;
    QString log;
    QString expectedSha256; // lower case; empty: any file
    bool verifyAfter = false;
    bool station = false; // one unit after the other on each port, until Ctrl+C
};

std::optional<TransferKind> kindOf(const QString &command)
{
    if (command == u"program" || command == u"station")
        return TransferKind::Program;
    if (command == u"read")
        return TransferKind::Read;
    if (command == u"verify")
        return TransferKind::Verify;
    if (command == u"test")
        return TransferKind::LinkTest;
    return std::nullopt;
}

// The request, or what is wrong with the command line.
struct ParsedRequest {
    std::optional<Request> request;
    QString problem;
};

ParsedRequest refused(const QString &problem)
{
    return {std::nullopt, problem};
}

// FILE (not for test), --port PORT (several, except for read), --log FILE.csv,
// --expect-sha256 HEX for program, verify and station and, for program,
// --verify, in any order. A station always verifies.
ParsedRequest parseRequest(const QString &command, TransferKind kind, const QStringList &arguments)
{
    const bool station = command == u"station";
    Request request{kind, {}, {}, {}, {}, station, station};
    const bool takesFile = kind != TransferKind::LinkTest;
    const bool takesHash = takesOption(command, u"--expect-sha256");
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (const auto port = optionValue(u"--port", arguments, i)) {
            if (port->isEmpty())
                return refused(u"--port attend un port."_s);
            if (kind == TransferKind::Read && !request.ports.isEmpty())
                return refused(u"read ne prend qu'un seul --port."_s);
            request.ports.append(*port);
        } else if (const auto log = optionValue(u"--log", arguments, i)) {
            if (log->isEmpty())
                return refused(u"--log attend un fichier."_s);
            if (!request.log.isEmpty())
                return refused(u"--log est donné deux fois."_s);
            request.log = *log;
        } else if (const auto hash = optionValue(u"--expect-sha256", arguments, i); hash && takesHash) {
            if (!isSha256Hex(*hash))
                return refused(u"--expect-sha256 attend 64 chiffres hexadécimaux."_s);
            if (!request.expectedSha256.isEmpty())
                return refused(u"--expect-sha256 est donné deux fois."_s);
            request.expectedSha256 = hash->toLower();
        } else if (argument == u"--verify" && takesOption(command, argument)) {
            if (request.verifyAfter)
                return refused(u"--verify est donné deux fois."_s);
            request.verifyAfter = true;
        } else if (argument.startsWith(u'-') && argument != u"-") {
            return refused(u"Option inconnue : %1"_s.arg(argument));
        } else if (!takesFile) {
            return refused(u"test ne prend pas de fichier : %1"_s.arg(argument));
        } else if (!request.file.isEmpty()) {
            return refused(u"Un seul fichier : %1 est de trop."_s.arg(argument));
        } else {
            request.file = argument;
        }
    }
    if (takesFile && request.file.isEmpty())
        return refused(u"Il manque le fichier FILE."_s);
    if (request.ports.isEmpty())
        return refused(u"Il manque --port PORT."_s);
    return {request, {}};
}

int run(const Request &request, const std::vector<UnitRun::Port> &ports)
{
    UnitRun::Job job{request.kind, request.verifyAfter, request.file, {}};
    if (request.kind == TransferKind::Program || request.kind == TransferKind::Verify) {
        // The file is checked before any port is touched.
        const production::JobFileCheck checked = production::checkJobFile(request.file, request.expectedSha256);
        if (!checked.file) {
            print(stderr, checked.refusal);
            return kExitUnreadableFile;
        }
        job.image = checked.file->image;
    }
    if (request.kind == TransferKind::Read && !files::canSave(request.file)) {
        // Better now than after a whole pass over the unit.
        say(filetexts::saveError(request.file));
        return kExitUnreadableFile;
    }
    // A record that cannot be kept stops the run before any unit is reached.
    production::RunLog log;
    if (!request.log.isEmpty() && !log.open(request.log)) {
        say(filetexts::saveError(request.log));
        return kExitUnreadableFile;
    }
    const auto shape = request.station ? RunConsole::Shape::UnitAfterUnit : RunConsole::Shape::OneUnit;
    RunConsole console(job, ports, shape, log.isOpen() ? &log : nullptr);
    return console.exec();
}

} // namespace

int runTransferCommand(const QString &command, const QStringList &arguments)
{
    const auto kind = kindOf(command);
    const ParsedRequest parsed =
        kind ? parseRequest(command, *kind, arguments) : refused(u"Commande inconnue : %1"_s.arg(command));
    const auto &request = parsed.request;
    if (!request) {
        say(parsed.problem);
        print(stderr, usageText(command));
        return kExitUsage;
    }
    const production::RunPorts ports = production::runPorts(request->ports);
    if (!ports.refusal.isEmpty()) {
        say(ports.refusal);
        return kExitUsage;
    }
    return run(*request, ports.ports);
}

} // namespace torsa::cli
