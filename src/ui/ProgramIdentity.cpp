#include "ProgramIdentity.h"

#include <QApplication>
#include <QIcon>

namespace torsa {

void setProgramIdentity()
{
    QApplication::setApplicationName(QStringLiteral("torsa"));
    QApplication::setApplicationVersion(QStringLiteral(TORSA_VERSION));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/torsa/torsa.xpm")));
}

} // namespace torsa
