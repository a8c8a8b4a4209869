#include "PortsCommand.h"

#include "Output.h"

#include "link/SerialPorts.h"

namespace torsa::cli {

int runPortsCommand(const QStringList &arguments)
{
    if (!arguments.isEmpty()) {
        print(stderr, QStringLiteral("Usage : torsa-cli ports\n"));
        return kExitUsage;
    }
    const QList<link::PresentPort> ports = link::presentPorts();
    if (ports.isEmpty()) {
        say(QStringLiteral("Aucun port série sur ce poste."));
        return kExitSuccess;
    }
    return print(stdout, link::portLines(ports, link::comDevicesNow())) ? kExitSuccess : kExitOutputFailed;
}

QString portsCommandHelp()
{
    return QStringLiteral("  ports          list the serial ports present, one line each: the name --port\n"
                          "                 takes, the COM item of the window it stands for (- if none),\n"
                          "                 the device as the system describes it, and for a USB adapter\n"
                          "                 its vendor:product ids and serial number; for an adapter with a\n"
                          "                 latency timer its value (\"latence 16 ms\")\n"
                          "\n"
                          "Exit status of ports:\n"
                          "  0   success, also when there is no serial port\n"
                          "  64  usage error\n"
                          "  74  the list could not be written to stdout\n");
}

} // namespace torsa::cli
