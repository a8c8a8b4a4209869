#include "SimFiles.h"

#include "files/FileSaving.h"

#include <cstdio>

using namespace Qt::StringLiterals;

namespace zelsim {

void complain(const QString &text)
{
    std::fputs(qUtf8Printable(u"zel-sim: "_s + text + u'\n'), stderr);
}

bool saveFile(const QString &path, QByteArrayView bytes)
{
    const torsa::files::SaveResult result = torsa::files::saveWhole(path, bytes);
    if (result == torsa::files::SaveResult::Saved)
        return true;
    complain(u"cannot save "_s + path);
    if (result == torsa::files::SaveResult::LeftIncomplete)
        complain(torsa::files::incompleteFileNote(path));
    return false;
}

QByteArray gapLines(const std::vector<qint64> &gapsNs)
{
    constexpr qint64 kNsPerUs = 1000;
    QByteArray text;
    for (const qint64 gap : gapsNs)
        text += QByteArray::number(gap / kNsPerUs) + '\n';
    return text;
}

} // namespace zelsim
