#include "serial/posix/PosixComDevice.h"

#include "serial/posix/PortMap.h"
#include "serial/posix/TermiosMapping.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

// Opening, closing, line settings and status queries.

namespace {

// The receive queue's size until the port sets its own.
constexpr std::size_t InitialQueueSize = 4096;
// The most bytes one read() takes from the descriptor.
constexpr std::size_t ReadChunk = 65536;

bool NotSupported(int error)
{
    return error == ENOTTY || error == EINVAL;
}

} // namespace

std::unique_ptr<TComDevice> OpenComDevice(const std::string& portName, int& osError)
{
    return TPosixComDevice::Open(PortMap::ResolveDevicePath(portName).string(), osError);
}

std::unique_ptr<TPosixComDevice> TPosixComDevice::Open(const std::string& path, int& osError)
{
    // Non-blocking: opening must not wait for carrier, and the descriptor
    // is only ever read and written when poll() says it is ready.
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        osError = errno;
        return nullptr;
    }
    termios2 settings;
    if (ioctl(fd, TCGETS2, &settings) != 0) {
        osError = errno;
        close(fd);
        return nullptr;
    }
    // The lock keeps out every other opener, root included; TIOCEXCL alone
    // does not stop root, but makes other openers fail before they lock.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        osError = errno == EWOULDBLOCK ? EBUSY : errno;
        close(fd);
        return nullptr;
    }
    ioctl(fd, TIOCEXCL);

    // Devices without modem lines (pseudo-terminals, some adapters) refuse
    // these; they report all lines off and no line errors.
    int lines = 0;
    const bool hasModemLines = ioctl(fd, TIOCMGET, &lines) == 0;
    serial_icounter_struct counters{};
    const bool hasLineCounters = ioctl(fd, TIOCGICOUNT, &counters) == 0;
    return std::unique_ptr<TPosixComDevice>(new TPosixComDevice(fd, hasModemLines, hasLineCounters, counters));
}

TPosixComDevice::TPosixComDevice(int fd, bool hasModemLines, bool hasLineCounters,
                                 const serial_icounter_struct& counters)
    : fd_(fd), hasModemLines_(hasModemLines), hasLineCounters_(hasLineCounters), queue_(InitialQueueSize),
      readBuffer_(ReadChunk), decodeBuffer_(ReadChunk + 1), lineCounters_(counters)
{
}

TPosixComDevice::~TPosixComDevice()
{
    {
        std::lock_guard watcherLock(watcherMutex_);
        lineWatcher_.reset();
    }
    {
        std::lock_guard lock(mutex_);
        // Closing aborts whatever is still pending.
        AbortReads();
        AbortWrites();
        if (TOverlapped* wait = std::exchange(eventWait_, nullptr))
            Finish(*wait, 0, ECANCELED);
    }
    ioctl(fd_, TIOCNXCL);
    close(fd_);
}

bool TPosixComDevice::Gone(int error) const
{
    return error == EIO || error == ENXIO || error == ENODEV;
}

int TPosixComDevice::SetState(const TDeviceControlBlock& dcb)
{
    std::lock_guard lock(mutex_);
    if (vanished_)
        return vanishError_;
    termios2 current;
    if (ioctl(fd_, TCGETS2, &current) != 0)
        return errno;
    const TTermiosMapping mapping = MapToTermios(dcb, current, hasLineCounters_);
    if (mapping.Error != 0)
        return mapping.Error;
    if (ioctl(fd_, TCSETS2, &mapping.Termios) != 0)
        return errno;

    // A device without modem lines has no DTR or RTS to set.
    auto drive = [this](TLineLevel level, int line) {
        if (!hasModemLines_ || level == TLineLevel::Kernel)
            return 0;
        if (ioctl(fd_, level == TLineLevel::On ? TIOCMBIS : TIOCMBIC, &line) == 0)
            return 0;
        if (NotSupported(errno)) {
            hasModemLines_ = false;
            return 0;
        }
        return errno;
    };
    if (const int error = drive(mapping.Dtr, TIOCM_DTR))
        return error;
    if (const int error = drive(mapping.Rts, TIOCM_RTS))
        return error;

    decoder_.SetOptions({(mapping.Termios.c_iflag & PARMRK) != 0, (dcb.Flags & Comm::DcbErrorChar) != 0,
                         static_cast<std::uint8_t>(dcb.ErrorChar), (dcb.Flags & Comm::DcbNull) != 0});
    dsrSensitive_ = (dcb.Flags & Comm::DcbDsrSensitivity) != 0;
    eventChar_ = dcb.EventChar;
    // Start bit, data bits, parity bit and stop bits (1.5 counted as 2).
    const std::uint32_t bits = 1 + dcb.ByteSize + (dcb.Parity != 0 ? 1 : 0) + (dcb.StopBits == 0 ? 1 : 2);
    characterTime_ = static_cast<std::uint32_t>((std::uint64_t{bits} * 1000000 + dcb.BaudRate - 1) / dcb.BaudRate);
    return 0;
}

int TPosixComDevice::SetTimeouts(const TCommTimeouts& timeouts)
{
    std::lock_guard lock(mutex_);
    if (vanished_)
        return vanishError_;
    timeouts_ = timeouts;
    return 0;
}

// The input size is the receive queue's capacity (0 keeps it). The output
// size is only checked: the kernel's output buffer has a fixed size.
int TPosixComDevice::SetupQueues(std::uint32_t inputSize, std::uint32_t outputSize)
{
    std::lock_guard lock(mutex_);
    if (vanished_)
        return vanishError_;
    if (inputSize > LargestQueue || outputSize > LargestQueue)
        return ENOMEM;
    if (inputSize > 0)
        queue_.SetCapacity(inputSize);
    return 0;
}

int TPosixComDevice::ClearError(std::uint32_t& errors, TCommStatus& status)
{
    std::lock_guard lock(mutex_);
    if (!vanished_)
        Service(TClock::now());
    if (vanished_)
        return vanishError_;
    if (hasLineCounters_)
        CheckLineCounters();
    errors = errors_;
    errors_ = 0;
    status.InQueue = static_cast<std::uint32_t>(queue_.Count());
    return 0;
}

int TPosixComDevice::ModemStatus(std::uint32_t& lines)
{
    std::lock_guard lock(mutex_);
    lines = 0;
    if (vanished_)
        return vanishError_;
    int state = 0;
    if (!hasModemLines_)
        return 0;
    if (ioctl(fd_, TIOCMGET, &state) != 0) {
        if (!NotSupported(errno))
            return errno;
        hasModemLines_ = false;
        return 0;
    }
    if (state & TIOCM_CTS)
        lines |= Comm::MsCtsOn;
    if (state & TIOCM_DSR)
        lines |= Comm::MsDsrOn;
    if (state & TIOCM_RNG)
        lines |= Comm::MsRingOn;
    if (state & TIOCM_CD)
        lines |= Comm::MsRlsdOn;
    return 0;
}

int TPosixComDevice::Purge(std::uint32_t flags)
{
    std::lock_guard lock(mutex_);
    if (flags & Comm::PurgeTxAbort)
        AbortWrites();
    if (flags & Comm::PurgeRxAbort)
        AbortReads();
    if (!(flags & (Comm::PurgeTxClear | Comm::PurgeRxClear)))
        return 0;
    if (vanished_)
        return vanishError_;
    if (flags & Comm::PurgeRxClear) {
        queue_.Clear();
        WakeWaiters(nullptr);
    }
    const int queues = (flags & Comm::PurgeTxClear) && (flags & Comm::PurgeRxClear) ? TCIOFLUSH
                       : (flags & Comm::PurgeTxClear)                                ? TCOFLUSH
                                                                                     : TCIFLUSH;
    return ioctl(fd_, TCFLSH, queues) == 0 ? 0 : errno;
}
