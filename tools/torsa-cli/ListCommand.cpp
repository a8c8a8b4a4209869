#include "ListCommand.h"

#include "editor/Refresh.h"
#include "files/FileReport.h"
#include "files/ProductionFile.h"

#include <cstdio>

namespace torsa::cli {
namespace {

constexpr QStringView kCrLf = u"\r\n";

bool print(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    return std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream)
               == static_cast<std::size_t>(bytes.size())
        && std::fflush(stream) == 0;
}

} // namespace

QString listText(MemoryImage image)
{
    // Opening runs INIT_AVEC / INIT_SANS when the mode cell asks for it; a fresh
    // program has no mode of its own to keep otherwise.
    const SessionMode inForce = filereport::forOpenedImage(image).requestedMode;
    const RefreshTick tick = refresh::tick(image, inForce);
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
        print(stderr, filereport::openError(fileName) + u'\n');
        return kExitUnreadableFile;
    }
    return print(stdout, listText(*image)) ? kExitSuccess : kExitOutputFailed;
}

QString listCommandHelp()
{
    return QStringLiteral(
        "  list FILE      print the status line and the listing of all messages of the\n"
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
