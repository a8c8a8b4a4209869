#include "PseudoTerminal.h"

#include <QtGlobal>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace zelsim {

using namespace Qt::StringLiterals;

namespace {

QString systemError(const QString &what)
{
    return what + u": "_s + QString::fromLocal8Bit(std::strerror(errno));
}

bool makeRaw(int fd)
{
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0)
        return false;
    ::cfmakeraw(&settings);
    return ::tcsetattr(fd, TCSANOW, &settings) == 0;
}

} // namespace

PseudoTerminal::~PseudoTerminal()
{
    if (slave_ >= 0)
        ::close(slave_);
    if (master_ >= 0)
        ::close(master_);
}

QString PseudoTerminal::open()
{
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0)
        return systemError(u"posix_openpt"_s);
    if (::grantpt(master_) != 0)
        return systemError(u"grantpt"_s);
    if (::unlockpt(master_) != 0)
        return systemError(u"unlockpt"_s);
    const char *name = ::ptsname(master_);
    if (name == nullptr)
        return systemError(u"ptsname"_s);
    path_ = QString::fromLocal8Bit(name);
    // Held for the whole run; also where the line is made raw, so that nothing
    // is echoed or translated before a client configures the port.
    slave_ = ::open(name, O_RDWR | O_NOCTTY);
    if (slave_ < 0)
        return systemError(u"open "_s + path_);
    if (!makeRaw(slave_) || !makeRaw(master_))
        return systemError(u"raw mode"_s);
    const int flags = ::fcntl(master_, F_GETFL);
    if (flags < 0 || ::fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0)
        return systemError(u"non-blocking mode"_s);
    return {};
}

} // namespace zelsim
