// TORSA: programming tool for the ZEL fault annunciator unit.

#include "editor/MainWindow.h"

#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QStyle>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("torsa"));
    // Message boxes carry no title of their own: the platform shows this name.
    QApplication::setApplicationDisplayName(QStringLiteral("TORSA"));
    QApplication::setApplicationVersion(QStringLiteral(TORSA_VERSION));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/torsa/torsa.xpm")));

    // Standard buttons and dialogs in French ("Oui", "Non", "Annuler").
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::French, QLocale::France), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    torsa::MainWindow window;
    window.adjustSize();
    window.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window.size(),
                                           QGuiApplication::primaryScreen()->availableGeometry()));
    window.show();
    return QApplication::exec();
}
