#include "serial/ManualResetEvent.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <system_error>

// An eventfd whose counter is non-zero while signalled: Set adds one, Reset
// reads the counter back to zero, and readability is the state.

TManualResetEvent::TManualResetEvent(bool signalled) : fd_(eventfd(signalled ? 1 : 0, EFD_CLOEXEC | EFD_NONBLOCK))
{
    if (fd_ < 0)
        throw std::system_error(errno, std::generic_category(), "eventfd");
}

TManualResetEvent::~TManualResetEvent()
{
    close(fd_);
}

void TManualResetEvent::Set()
{
    const std::uint64_t one = 1;
    while (write(fd_, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

void TManualResetEvent::Reset()
{
    std::uint64_t value;
    while (read(fd_, &value, sizeof value) < 0 && errno == EINTR) {
    }
}

bool TManualResetEvent::IsSet() const
{
    pollfd entry{fd_, POLLIN, 0};
    return poll(&entry, 1, 0) > 0 && (entry.revents & POLLIN);
}

void TManualResetEvent::Wait() const
{
    pollfd entry{fd_, POLLIN, 0};
    while (poll(&entry, 1, -1) < 0 && errno == EINTR) {
    }
}
