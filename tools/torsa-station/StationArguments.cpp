#include "StationArguments.h"

#include "ImageHash.h"
#include "OptionValue.h"

namespace torsa::station {

using namespace Qt::StringLiterals;
using production::optionValue;

StationArguments parseStationArguments(const QStringList &arguments)
{
    StationArguments given;
    const auto refused = [&given](const QString &problem) {
        given.problem = problem;
        return given;
    };
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (const auto port = optionValue(u"--port", arguments, i)) {
            if (port->isEmpty())
                return refused(u"--port attend un port."_s);
            given.ports.append(*port);
        } else if (const auto log = optionValue(u"--log", arguments, i)) {
            if (log->isEmpty() || !given.log.isEmpty())
                return refused(u"--log attend un seul fichier."_s);
            given.log = *log;
        } else if (const auto hash = optionValue(u"--expect-sha256", arguments, i)) {
            if (!production::isSha256Hex(*hash) || !given.expectedSha256.isEmpty())
                return refused(u"--expect-sha256 attend une fois 64 chiffres hexadécimaux."_s);
            given.expectedSha256 = hash->toLower();
        } else if (argument.startsWith(u'-')) {
            return refused(u"Option inconnue : %1"_s.arg(argument));
        } else if (!given.file.isEmpty()) {
            return refused(u"Un seul fichier : %1 est de trop."_s.arg(argument));
        } else {
            given.file = argument;
        }
    }
    return given;
}

QString stationUsage()
{
    return u"Usage : torsa-station [FILE] [--port PORT]... [--log LOG.csv] [--expect-sha256 HEX]"_s;
}

} // namespace torsa::station
