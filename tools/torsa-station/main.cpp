// torsa-station: the production station of TORSA in a window, for an operator
// who is not at a terminal. An engineer's shortcut gives it the job:
// torsa-station FILE --port PORT... [--log LOG.csv] [--expect-sha256 HEX].

#include "StationArguments.h"
#include "StationWindow.h"

#include "FrenchInterface.h"
#include "Interrupts.h"

#include <QApplication>
#include <QIcon>
#include <QTranslator>

int main(int argc, char *argv[])
{
    // Before any thread starts: SIGINT and SIGTERM then reach the window alone.
    torsa::production::Interrupts::holdBackOnEveryThread();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("torsa-station"));
    QApplication::setApplicationVersion(QStringLiteral(TORSA_VERSION));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/torsa/torsa.xpm")));
    QTranslator qtTranslator;
    torsa::installFrenchInterface(qtTranslator);

    torsa::station::StationWindow window(torsa::station::parseStationArguments(QApplication::arguments().mid(1)));
    window.resize(1200, 900);
    window.show();
    return QApplication::exec();
}
