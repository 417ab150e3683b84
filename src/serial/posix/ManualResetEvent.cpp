#include "serial/ManualResetEvent.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <system_error>

// An eventfd whose counter is non-zero while signalled: Set adds one, Reset
// reads the counter back to zero, and readability is the state. The flag
// mirrors it for IsSet.

TManualResetEvent::TManualResetEvent(bool signalled)
    : fd_(eventfd(signalled ? 1 : 0, EFD_CLOEXEC | EFD_NONBLOCK)), signalled_(signalled)
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
    std::lock_guard lock(change_);
    if (signalled_.load(std::memory_order_relaxed))
        return;
    // The flag first: whoever the descriptor wakes finds it set.
    signalled_.store(true, std::memory_order_release);
    const std::uint64_t one = 1;
    while (write(fd_, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

void TManualResetEvent::Reset()
{
    std::lock_guard lock(change_);
    if (!signalled_.load(std::memory_order_relaxed))
        return;
    signalled_.store(false, std::memory_order_release);
    std::uint64_t value;
    while (read(fd_, &value, sizeof value) < 0 && errno == EINTR) {
    }
}

void TManualResetEvent::Wait() const
{
    pollfd entry{fd_, POLLIN, 0};
    while (poll(&entry, 1, -1) < 0 && errno == EINTR) {
    }
}
