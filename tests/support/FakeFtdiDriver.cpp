// Preloaded into torsa-cli, this answers TIOCGSERIAL and TIOCSSERIAL on any
// port as ftdi_sio does, and when ASYNC_LOW_LATENCY is set writes 1 into
// zel-sim's --adapter-control file (FAKE_FTDI_CONTROL): the simulated adapter's
// timer drops to 1 ms, as the driver sets the chip's. <sys/ioctl.h> is left
// out: its declaration of ioctl differs from this definition in noexcept.

#include <asm/ioctls.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdlib>

namespace {

int flags = 0;

} // namespace

extern "C" int ioctl(int fd, unsigned long request, ...) // NOLINT: the C library's own signature
{
    va_list arguments;
    va_start(arguments, request);
    void *argument = va_arg(arguments, void *);
    va_end(arguments);
    const char *control = std::getenv("FAKE_FTDI_CONTROL");
    if (control != nullptr && (request == TIOCGSERIAL || request == TIOCSSERIAL)) {
        auto *serial = static_cast<serial_struct *>(argument);
        if (request == TIOCGSERIAL) {
            *serial = serial_struct{};
            serial->flags = flags;
            return 0;
        }
        flags = serial->flags;
        if ((flags & ASYNC_LOW_LATENCY) != 0) {
            const int file = ::open(control, O_WRONLY | O_TRUNC);
            if (file >= 0 && ::write(file, "1\n", 2) == 2)
                ::close(file);
        }
        return 0;
    }
    using Ioctl = int (*)(int, unsigned long, ...);
    static const auto next = reinterpret_cast<Ioctl>(::dlsym(RTLD_NEXT, "ioctl"));
    return next(fd, request, argument);
}
