#include "StandardStreams.h"

#include <QtGlobal>

#include <cstdio>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#endif

namespace torsa::cli {

void useBinaryStandardStreams()
{
#ifdef Q_OS_WIN
    for (std::FILE *stream : {stdout, stderr})
        _setmode(_fileno(stream), _O_BINARY);
#endif
}

} // namespace torsa::cli
