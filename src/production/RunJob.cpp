#include "RunJob.h"

#include "ImageHash.h"

#include "files/FileTexts.h"
#include "files/ProductionFile.h"
#include "link/PortNames.h"
#include "store/AddressMap.h"

#include <QFileInfo>

namespace torsa::production {

using namespace Qt::StringLiterals;

RunPorts runPorts(const QStringList &given)
{
    RunPorts result;
    for (const QString &name : given) {
        UnitRun::Port port{name, link::devicePathFor(name), {}};
        const QFileInfo device(port.path);
        port.device = device.exists() ? device.canonicalFilePath() : port.path;
        for (const UnitRun::Port &earlier : result.ports) {
            if (earlier.given == name)
                return {{}, u"Le port %1 est donné deux fois."_s.arg(name)};
            if (!port.device.isEmpty() && earlier.device == port.device)
                return {{}, u"%1 et %2 sont le même port (%3)."_s.arg(earlier.given, name, port.device)};
        }
        result.ports.push_back(port);
    }
    return result;
}

QString unreadableFileText(const QString &path)
{
    const QFileInfo info(path);
    QString text = filetexts::openError(path) + u'\n';
    if (info.isFile() && info.size() < address::kImageSize)
        text += u"trop court : %1 octets sur %2\n"_s.arg(info.size()).arg(address::kImageSize);
    return text;
}

JobFileCheck checkJobFile(const QString &path, const QString &expectedSha256)
{
    const QFileInfo info(path);
    const auto image = productionfile::read(path);
    if (!image)
        return {std::nullopt, unreadableFileText(path)};
    JobFile file{path, info.size(), *image, sha256Hex(*image)};
    // The wrong file is refused before it reaches a unit.
    if (const QString actual = QString::fromLatin1(file.sha256); !expectedSha256.isEmpty() && actual != expectedSha256)
        return {
            std::nullopt,
            u"Le fichier %1 n'est pas celui attendu : SHA-256 %2 au lieu de %3.\n"_s.arg(path, actual, expectedSha256)};
    const bool exact = file.size == address::kImageSize;
    return {std::move(file), {}, exact};
}

} // namespace torsa::production
