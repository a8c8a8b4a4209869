// TORSA: programming tool for the ZEL fault annunciator unit.

#include "FrenchInterface.h"
#include "MainWindow.h"

#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
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

    QTranslator qtTranslator;
    torsa::installFrenchInterface(qtTranslator);

    torsa::MainWindow window;
    window.adjustSize();
    window.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window.size(),
                                           QGuiApplication::primaryScreen()->availableGeometry()));
    window.show();
    return QApplication::exec();
}
