#include "simulator/PseudoTerminal.h"

#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace {
[[noreturn]] void ThrowSystemError(const char* what)
{
    throw std::system_error(errno, std::generic_category(), what);
}
} // namespace

TPseudoTerminal::TPseudoTerminal()
{
    char name[256] = {};
    termios raw{};
    cfmakeraw(&raw);
    if (openpty(&controllerFd, &portFd, name, &raw, nullptr) != 0)
        ThrowSystemError("cannot open a pseudo-terminal");
    portPath = name;
    const int flags = fcntl(controllerFd, F_GETFL);
    if (flags < 0 || fcntl(controllerFd, F_SETFL, flags | O_NONBLOCK) != 0) {
        const int error = errno;
        close(controllerFd);
        close(portFd);
        throw std::system_error(error, std::generic_category(), "cannot configure the pseudo-terminal");
    }
}

TPseudoTerminal::~TPseudoTerminal()
{
    close(portFd);
    close(controllerFd);
}

size_t TPseudoTerminal::UnreadByPort() const
{
    int count = 0;
    if (ioctl(portFd, FIONREAD, &count) != 0)
        return 0;
    return static_cast<size_t>(count);
}
