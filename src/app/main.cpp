// TORSA: programming tool for the ZEL fault annunciator unit.

#include "FrenchInterface.h"
#include "MainWindow.h"
#include "ProgramIdentity.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    torsa::setProgramIdentity();

    QTranslator qtTranslator;
    torsa::installFrenchInterface(qtTranslator);

    torsa::MainWindow window;
    window.adjustSize();
    window.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window.size(),
                                           QGuiApplication::primaryScreen()->availableGeometry()));
    window.show();
    // A production file given (the file manager's "open with", a double-click
    // on Windows) opens as "Ouvrir" would.
    window.openFromArguments(QCoreApplication::arguments());
    return QApplication::exec();
}
