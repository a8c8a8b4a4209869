// torsa-cli: the command-line companion of TORSA, on the same core, without widgets.

#include "CsvCommands.h"
#include "LatencyCommand.h"
#include "ListCommand.h"
#include "Output.h"
#include "PortsCommand.h"
#include "StandardStreams.h"
#include "TransferCommands.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

namespace {

using namespace torsa::cli;
using namespace Qt::StringLiterals;

constexpr QStringView kProgram = u"torsa-cli";
constexpr QStringView kVersion = u"" TORSA_VERSION;

QString usageText()
{
    QString text = QStringLiteral("Usage : torsa-cli COMMAND [ARGUMENTS]\n"
                                  "        torsa-cli --help | --version\n"
                                  "\n"
                                  "Commands:\n");
    text.append(listCommandHelp());
    text.append(u'\n');
    text.append(transferCommandsHelp());
    text.append(u'\n');
    text.append(csvCommandsHelp());
    text.append(u'\n');
    text.append(portsCommandHelp());
    text.append(u'\n');
    text.append(latencyCommandHelp());
    return text;
}

int run(const QStringList &commandLine)
{
    if (commandLine.isEmpty()) {
        say(u"Il manque la commande."_s);
        print(stderr, usageText());
        return kExitUsage;
    }
    const QString &command = commandLine.first();
    const QStringList arguments = commandLine.mid(1);

    if (command == u"--help" || command == u"-h") {
        print(stdout, usageText());
        return kExitSuccess;
    }
    if (command == u"--version") {
        print(stdout, kProgram.toString() + u' ' + kVersion.toString() + u'\n');
        return kExitSuccess;
    }
    if (command == u"list")
        return runListCommand(arguments);
    if (isTransferCommand(command))
        return runTransferCommand(command, arguments);
    if (isCsvCommand(command))
        return runCsvCommand(command, arguments);
    if (command == u"ports")
        return runPortsCommand(arguments);
    if (command == u"latency")
        return runLatencyCommand(arguments);

    say(u"Commande inconnue : %1"_s.arg(command));
    print(stderr, usageText());
    return kExitUsage;
}

} // namespace

int main(int argc, char *argv[])
{
    useBinaryStandardStreams();
    const QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(kProgram.toString());
    QCoreApplication::setApplicationVersion(kVersion.toString());
    return run(QCoreApplication::arguments().mid(1));
}
