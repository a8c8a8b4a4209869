#include "Output.h"

#include "Console.h"
#include "RunJob.h"

#include "files/FileTexts.h"

#include "store/AddressMap.h"

#include <QByteArray>
#include <QFileInfo>

namespace torsa::cli {

using namespace Qt::StringLiterals;

bool write(std::FILE *stream, QByteArrayView bytes)
{
    if (console::isConsole(stream))
        return console::writeText(stream, QString::fromUtf8(bytes));
    const auto size = static_cast<std::size_t>(bytes.size());
    return std::fwrite(bytes.data(), 1, size, stream) == size && std::fflush(stream) == 0;
}

bool print(std::FILE *stream, const QString &text)
{
    if (console::isConsole(stream))
        return console::writeText(stream, text);
    return write(stream, text.toUtf8());
}

void say(const QString &line)
{
    print(stderr, line + u'\n');
}

void sayUnreadableProductionFile(const QString &path)
{
    print(stderr, production::unreadableFileText(path));
}

bool saved(const QString &path, files::SaveResult result)
{
    if (result == files::SaveResult::Saved)
        return true;
    say(files::saveFailureText(path, result));
    return false;
}

} // namespace torsa::cli
