#include "TransferCommands.h"

#include "CommandTable.h"
#include "ImageHash.h"
#include "Output.h"
#include "RunConsole.h"
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
using production::sha256Hex;
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

// The value of "--name VALUE" or "--name=VALUE" at i (i then stands on the
// value); nothing when the argument is not that option, an empty value when the
// value is missing.
std::optional<QString> optionValue(QStringView name, const QStringList &arguments, qsizetype &i)
{
    const QString &argument = arguments.at(i);
    if (argument == name)
        return i + 1 < arguments.size() ? arguments.at(++i) : QString();
    if (argument.startsWith(name) && argument.sliced(name.size()).startsWith(u'='))
        return argument.sliced(name.size() + 1);
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

// Each port with the device it stands for; a refusal (on stderr) when one is
// given twice, under its own name or another.
std::optional<std::vector<UnitRun::Port>> unitPorts(const QStringList &given)
{
    std::vector<UnitRun::Port> ports;
    for (const QString &name : given) {
        UnitRun::Port port{name, link::devicePathFor(name), {}};
        const QFileInfo device(port.path);
        port.device = device.exists() ? device.canonicalFilePath() : port.path;
        for (const UnitRun::Port &earlier : ports) {
            if (earlier.given == name) {
                say(u"Le port %1 est donné deux fois."_s.arg(name));
                return std::nullopt;
            }
            if (!port.device.isEmpty() && earlier.device == port.device) {
                say(u"%1 et %2 sont le même port (%3)."_s.arg(earlier.given, name, port.device));
                return std::nullopt;
            }
        }
        ports.push_back(port);
    }
    return ports;
}

int run(const Request &request, const std::vector<UnitRun::Port> &ports)
{
    UnitRun::Job job{request.kind, request.verifyAfter, request.file, {}};
    if (request.kind == TransferKind::Program || request.kind == TransferKind::Verify) {
        // The file is checked before any port is touched.
        const auto fromFile = productionfile::read(request.file);
        if (!fromFile) {
            sayUnreadableProductionFile(request.file);
            return kExitUnreadableFile;
        }
        job.image = *fromFile;
        // The wrong file is refused before it reaches a unit.
        if (const QString actual = QString::fromLatin1(sha256Hex(job.image));
            !request.expectedSha256.isEmpty() && actual != request.expectedSha256) {
            say(u"Le fichier %1 n'est pas celui attendu : SHA-256 %2 au lieu de %3."_s.arg(request.file, actual,
                                                                                           request.expectedSha256));
            return kExitUnreadableFile;
        }
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
    const auto ports = unitPorts(request->ports);
    if (!ports)
        return kExitUsage;
    return run(*request, *ports);
}

} // namespace torsa::cli
