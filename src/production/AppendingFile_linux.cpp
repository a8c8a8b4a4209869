#include "AppendingFile.h"

namespace torsa::production {

bool openForAppending(QFile &file, const QString &path)
{
    file.setFileName(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
}

} // namespace torsa::production
