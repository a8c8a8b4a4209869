// Build-time tool: writes torsa-cli's man page from its template, with the
// SYNOPSIS section drawn from the command table in place of the template's
// marker line, so that the page cannot drift from the commands.

#include "CommandTable.h"

#include <QFile>
#include <QString>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fputs("Usage : torsa-cli-man-synopsis TEMPLATE.1 OUT.1\n", stderr);
        return 64;
    }
    QFile in(QString::fromLocal8Bit(argv[1]));
    QFile out(QString::fromLocal8Bit(argv[2]));
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
        return 4;
    const QString marker = QStringLiteral(".\\\" SYNOPSIS: the command table\n");
    QString page = QString::fromUtf8(in.readAll());
    if (!page.contains(marker))
        return 65;
    page.replace(marker, torsa::cli::manSynopsis());
    const QByteArray bytes = page.toUtf8();
    return out.write(bytes) == bytes.size() && out.flush() ? 0 : 4;
}
