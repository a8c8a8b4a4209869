#include "ListCommand.h"

#include "CommandTable.h"
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
        print(stderr, usageText(u"list"));
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

} // namespace torsa::cli
