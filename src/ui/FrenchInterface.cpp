#include "FrenchInterface.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace torsa {

bool installFrenchInterface(QTranslator &translator)
{
    const QLocale french(QLocale::French, QLocale::France);
    QLocale::setDefault(french);
    if (!translator.load(french, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QCoreApplication::installTranslator(&translator);
}

} // namespace torsa
