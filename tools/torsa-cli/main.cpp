// torsa-cli: the command-line companion of TORSA, on the same core, without
// widgets: its commands come from the command table.

#include "CommandTable.h"
#include "Output.h"
#include "StandardStreams.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

namespace {

using namespace torsa::cli;
using namespace Qt::StringLiterals;

constexpr QStringView kProgram = u"torsa-cli";
constexpr QStringView kVersion = u"" TORSA_VERSION;

int run(const QStringList &commandLine)
{
    if (commandLine.isEmpty()) {
        say(u"Il manque la commande."_s);
        print(stderr, helpText());
        return kExitUsage;
    }
    const QString &command = commandLine.first();
    const QStringList arguments = commandLine.mid(1);

    if (command == u"--help" || command == u"-h") {
        print(stdout, helpText());
        return kExitSuccess;
    }
    if (command == u"--version") {
        print(stdout, kProgram.toString() + u' ' + kVersion.toString() + u'\n');
        return kExitSuccess;
    }
    if (const Command *known = findCommand(command))
        return known->run(command, arguments);

    say(u"Commande inconnue : %1"_s.arg(command));
    print(stderr, helpText());
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
