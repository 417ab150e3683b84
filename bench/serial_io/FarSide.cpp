#include "FarSide.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <stdexcept>

TFarSide::TFarSide()
{
    int slave = -1;
    char name[128];
    if (openpty(&master_, &slave, name, nullptr, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    // Only the contender opens the slave side.
    close(slave);
    slavePath_ = name;
    termios raw;
    tcgetattr(master_, &raw);
    cfmakeraw(&raw);
    tcsetattr(master_, TCSANOW, &raw);
    stop_ = eventfd(0, EFD_CLOEXEC);
}

TFarSide::~TFarSide()
{
    const std::uint64_t one = 1;
    if (write(stop_, &one, sizeof one) < 0) {
    }
    if (thread_.joinable())
        thread_.join();
    close(stop_);
    close(master_);
}

void TFarSide::Start(TMode mode, std::size_t bytes)
{
    thread_ = std::thread([this, mode, bytes] { Serve(mode, bytes); });
}

void TFarSide::WaitUntilSwallowed()
{
    thread_.join();
}

void TFarSide::Serve(TMode mode, std::size_t bytes)
{
    char buffer[65536];
    std::size_t total = 0;
    for (;;) {
        pollfd entries[2] = {{master_, POLLIN, 0}, {stop_, POLLIN, 0}};
        if (poll(entries, 2, -1) < 0 && errno != EINTR)
            return;
        if (entries[1].revents)
            return;
        if (!(entries[0].revents & POLLIN))
            continue;
        const ssize_t got = read(master_, buffer, sizeof buffer);
        if (got <= 0)
            continue;
        total += static_cast<std::size_t>(got);
        if (mode == TMode::Swallow && total >= bytes)
            return;
        if (mode == TMode::Echo) {
            ssize_t sent = 0;
            while (sent < got) {
                const ssize_t n = write(master_, buffer + sent, static_cast<std::size_t>(got - sent));
                if (n > 0)
                    sent += n;
            }
        }
    }
}
