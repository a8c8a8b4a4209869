#include "ListCommand.h"

#include "Output.h"

#include "files/ProductionFile.h"
#include "session/Session.h"
#include "store/LineEnds.h"

namespace torsa::cli {

QString listText(const MemoryImage &image)
{
    // What a freshly started program shows once it has opened the file and
    // run one tick.
    Session session;
    UnattendedPrompts nobody;
    session.open(image, nobody);
    const RefreshTick tick = session.tick();
    QString out = tick.statusCaption;
    out.append(kCrLf);
    out.append(tick.countCaption);
    out.append(kCrLf);
    out.append(tick.listing);
    return out;
}

int runListCommand(const QStringList &arguments)
{
    if (arguments.size() != 1) {
        print(stderr, QStringLiteral("Usage : torsa-cli list FILE\n"));
        return kExitUsage;
    }
    const QString &fileName = arguments.first();
    const auto image = productionfile::read(fileName);
    if (!image) {
        sayUnreadableProductionFile(fileName);
        return kExitUnreadableFile;
    }
    return print(stdout, listText(*image)) ? kExitSuccess : kExitOutputFailed;
}

QString listCommandHelp()
{
    return QStringLiteral("  list FILE      print the status line and the listing of all messages of the\n"
                          "                 production file FILE, as the main window shows them after\n"
                          "                 opening it (UTF-8, lines ended by CR LF)\n"
                          "\n"
                          "Exit status of list:\n"
                          "  0   success\n"
                          "  4   the file cannot be read as a production file\n"
                          "  64  usage error\n"
                          "  74  the listing could not be written to stdout\n");
}

} // namespace torsa::cli
