// torsa-icon: writes the program's window icon (an XPM of 32 by 32 pixels) as
// the PNG files a desktop's icon theme takes, at whole multiples of its size so
// that every pixel stays sharp. Run by the build; not installed.
//
//   torsa-icon ICON.xpm OUTPUT_DIRECTORY SIZE...   writes OUTPUT_DIRECTORY/torsa-SIZE.png

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QStringList>

#include <cstdio>

namespace {

using namespace Qt::StringLiterals;

constexpr int kExitUsage = 64;
constexpr int kExitFailure = 1;

void complain(const QString &text)
{
    std::fputs(qPrintable(u"torsa-icon: "_s + text + u'\n'), stderr);
}

} // namespace

int main(int argc, char *argv[])
{
    const QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 4) {
        complain(u"usage: torsa-icon ICON.xpm OUTPUT_DIRECTORY SIZE..."_s);
        return kExitUsage;
    }
    const QImage icon(args.at(1));
    if (icon.isNull()) {
        complain(u"cannot read "_s + args.at(1));
        return kExitFailure;
    }
    const QDir out(args.at(2));
    if (!out.mkpath(u"."_s)) {
        complain(u"cannot create "_s + args.at(2));
        return kExitFailure;
    }
    for (const QString &sizeText : args.mid(3)) {
        bool isNumber = false;
        const int size = sizeText.toInt(&isNumber);
        if (!isNumber || size < icon.width() || size % icon.width() != 0) {
            complain(u"size %1 is not a multiple of %2"_s.arg(sizeText).arg(icon.width()));
            return kExitUsage;
        }
        const QImage scaled = icon.convertToFormat(QImage::Format_ARGB32)
                                  .scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        const QString path = out.filePath(u"torsa-%1.png"_s.arg(size));
        if (!scaled.save(path, "PNG")) {
            complain(u"cannot write "_s + path);
            return kExitFailure;
        }
    }
    return 0;
}
