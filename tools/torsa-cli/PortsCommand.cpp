#include "PortsCommand.h"

#include "CommandTable.h"
#include "Output.h"

#include "link/SerialPorts.h"

namespace torsa::cli {

int runPortsCommand(const QStringList &arguments)
{
    if (!arguments.isEmpty()) {
        print(stderr, usageText(u"ports"));
        return kExitUsage;
    }
    const QList<link::PresentPort> ports = link::presentPorts();
    if (ports.isEmpty()) {
        say(QStringLiteral("Aucun port série sur ce poste."));
        return kExitSuccess;
    }
    return print(stdout, link::portLines(ports, link::comDevicesNow())) ? kExitSuccess : kExitOutputFailed;
}

} // namespace torsa::cli
