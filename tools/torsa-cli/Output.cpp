#include "Output.h"

#include "Console.h"

#include "files/FileTexts.h"

#include <QByteArray>

namespace torsa::cli {

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

bool saved(const QString &path, files::SaveResult result)
{
    if (result == files::SaveResult::Saved)
        return true;
    say(filetexts::saveError(path));
    if (result == files::SaveResult::LeftIncomplete)
        say(files::incompleteFileNote(path));
    return false;
}

} // namespace torsa::cli
