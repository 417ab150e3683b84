#include "serial/posix/PosixComDevice.h"

#include "serial/ManualResetEvent.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <utility>

// Moving bytes: the receive queue, reads and writes with their time-outs,
// and the waiting that drives them.

namespace {

// Each thread that waits in a device sleeps on this descriptor beside the
// device's; whoever completes its operation writes to it.
class TWakeFd {
public:
    TWakeFd() : fd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}
    TWakeFd(const TWakeFd&) = delete;
    TWakeFd& operator=(const TWakeFd&) = delete;
    ~TWakeFd()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    int Fd() const { return fd_; }

private:
    int fd_;
};

int ThisThreadWakeFd()
{
    static thread_local TWakeFd wake;
    return wake.Fd();
}

void Drain(int fd)
{
    std::uint64_t value;
    while (read(fd, &value, sizeof value) < 0 && errno == EINTR) {
    }
}

} // namespace

int TPosixComDevice::StartWrite(TOverlapped& operation, const void* data, std::uint32_t count)
{
    std::lock_guard lock(mutex_);
    if (operation.Busy())
        return EBUSY;
    if (vanished_) {
        operation.Complete(0, vanishError_);
        return vanishError_;
    }
    operation.Begin(this);
    writes_.emplace_back(&operation, static_cast<const std::uint8_t*>(data), count);
    // A write on an idle line is tried at once: asking poll() first makes the
    // tty flush its pending input work synchronously, a costly wait on every
    // request. Writes queued behind a short one still wait for poll() to
    // report room, which keeps them large.
    if (writes_.size() == 1)
        outputReady_ = true;
    const TClock::time_point now = TClock::now();
    ServiceWrites(now);
    CheckOutputDrained(now);
    if (operation.Busy())
        return IoPending;
    return operation.Error();
}

int TPosixComDevice::StartRead(TOverlapped& operation, void* data, std::uint32_t count)
{
    std::lock_guard lock(mutex_);
    if (operation.Busy())
        return EBUSY;
    operation.Begin(this);
    reads_.emplace_back(&operation, static_cast<std::uint8_t*>(data), count);
    // A read of what the queue already holds (the count a received-character
    // handler was just given) needs no word from the kernel.
    Service(TClock::now(), reads_.size() > 1 || queue_.Count() < count);
    if (operation.Busy())
        return IoPending;
    return operation.Error();
}

// The operation was serviced when it started or by whoever last came in,
// so the first thing is to sleep; a deadline already passed or input
// already there ends the sleep at once.
TComDevice::TWaitResult TPosixComDevice::Wait(TOverlapped& operation, const TManualResetEvent* stop)
{
    std::unique_lock lock(mutex_);
    for (;;) {
        if (stop && stop->IsSet())
            return TWaitResult::Stop;
        if (stop && vanished_)
            return TWaitResult::Failed;
        if (operation.Device() != this)
            return TWaitResult::Completed;
        BlockUntilWoken(lock, operation, stop, TClock::now());
        // poll() has just said whether there is input: no need to ask again.
        Service(TClock::now(), false);
    }
}

void TPosixComDevice::Withdraw(TOverlapped& operation)
{
    std::lock_guard lock(mutex_);
    Remove(operation);
}

std::uint32_t TPosixComDevice::Remove(const TOverlapped& operation)
{
    if (eventWait_ == &operation)
        eventWait_ = nullptr;
    std::uint32_t done = 0;
    std::erase_if(reads_, [&](const TPendingRead& read) {
        if (read.Operation != &operation)
            return false;
        done = read.Done;
        return true;
    });
    std::erase_if(writes_, [&](const TPendingWrite& write) {
        if (write.Operation != &operation)
            return false;
        done = write.Done;
        return true;
    });
    return done;
}

// Sleeps until the descriptor is ready, the next deadline passes, or
// another thread wakes this one. Called and returns with the lock held.
void TPosixComDevice::BlockUntilWoken(std::unique_lock<std::mutex>& lock, TOverlapped& operation,
                                      const TManualResetEvent* stop, TClock::time_point now)
{
    const int wakeFd = ThisThreadWakeFd();
    if (wakeFd < 0) {
        // Without a way to be woken the operation cannot wait: the process
        // is out of descriptors.
        Finish(operation, Remove(operation), EMFILE);
        return;
    }
    pollfd entries[3] = {{wakeFd, POLLIN, 0}, {stop ? stop->Fd() : -1, POLLIN, 0}, {fd_, DevicePollEvents(), 0}};
    // A negative descriptor is skipped by poll(), so the set stays in place.
    if (entries[2].events == 0)
        entries[2].fd = -1;
    if (!vanished_ && queue_.Free() == 0)
        waiterLacksInput_ = true;

    int timeout = -1;
    if (const auto deadline = NextDeadline()) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - now).count();
        timeout = static_cast<int>(std::clamp<std::int64_t>(left, 0, INT_MAX));
    }

    waiters_.push_back({wakeFd, &operation});
    lock.unlock();
    const int ready = poll(entries, 3, timeout);
    lock.lock();
    std::erase_if(waiters_, [&](const TWaiter& waiter) { return waiter.WakeFd == wakeFd; });
    if (ready <= 0)
        return;
    if (entries[0].revents & POLLIN)
        Drain(wakeFd);
    if (entries[2].revents & POLLIN)
        inputReady_ = true;
    if (entries[2].revents & POLLOUT)
        outputReady_ = true;
    if (entries[2].revents & (POLLHUP | POLLERR | POLLNVAL))
        hangupSeen_ = true;
}

void TPosixComDevice::WakeWaiters(const TOverlapped* operation)
{
    const std::uint64_t one = 1;
    for (const TWaiter& waiter : waiters_) {
        if (operation == nullptr || waiter.Operation == operation) {
            while (write(waiter.WakeFd, &one, sizeof one) < 0 && errno == EINTR) {
            }
        }
    }
}

short TPosixComDevice::DevicePollEvents() const
{
    if (vanished_)
        return 0;
    short events = 0;
    if (queue_.Free() > 0)
        events |= POLLIN;
    if (!writes_.empty())
        events |= POLLOUT;
    return events;
}

std::optional<TPosixComDevice::TClock::time_point> TPosixComDevice::NextDeadline() const
{
    std::optional<TClock::time_point> next;
    auto consider = [&next](TClock::time_point deadline) {
        if (!next || deadline < *next)
            next = deadline;
    };
    if (!reads_.empty() && reads_.front().Active) {
        const TPendingRead& read = reads_.front();
        if (read.TotalDeadline)
            consider(*read.TotalDeadline);
        if (read.Timeouts.Interval && read.Done > 0)
            consider(read.LastByte + *read.Timeouts.Interval);
    }
    if (!writes_.empty() && writes_.front().Deadline)
        consider(*writes_.front().Deadline);
    if (outputDraining_ && drainCheck_)
        consider(*drainCheck_);
    return next;
}

void TPosixComDevice::Service(TClock::time_point now, bool askKernel)
{
    // Reads make room in a full queue, so pump again while they do.
    for (;;) {
        const bool filledQueue = PumpInput(askKernel);
        const bool tookBytes = ServiceReads(now);
        if (!filledQueue || !tookBytes)
            break;
    }
    ServiceWrites(now);
    if (vanished_)
        ServiceReads(now);
    CheckOutputDrained(now);
    if (waiterLacksInput_ && queue_.Free() > 0) {
        waiterLacksInput_ = false;
        WakeWaiters(nullptr);
    }
}

// Reads what the descriptor has into the queue; true when it stopped
// because the queue is full. Unless poll() has just reported input, the
// kernel is asked how much is waiting (when askKernel) before each read: a
// read that finds nothing is costly on a tty (it flushes the line's pending
// input synchronously), and entering the device happens far more often
// than data arrives.
bool TPosixComDevice::PumpInput(bool askKernel)
{
    while (!vanished_) {
        const std::size_t room = queue_.Free();
        if (room == 0)
            return true;
        int waiting = 0;
        if (inputReady_) {
            waiting = static_cast<int>(readBuffer_.size());
            inputReady_ = false;
        } else if (!askKernel) {
            break;
        } else if (ioctl(fd_, FIONREAD, &waiting) != 0) {
            Vanish(errno);
            break;
        }
        if (waiting <= 0)
            break;
        const std::size_t wanted = std::min({room, readBuffer_.size(), static_cast<std::size_t>(waiting)});
        const ssize_t got = read(fd_, readBuffer_.data(), wanted);
        if (got > 0) {
            Receive(readBuffer_.data(), static_cast<std::size_t>(got));
            // A short read took everything there was.
            if (static_cast<std::size_t>(got) < wanted)
                break;
            continue;
        }
        if (got == 0) {
            Vanish(EIO);
            break;
        }
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN)
            Vanish(errno);
        break;
    }
    if (hangupSeen_ && !vanished_)
        Vanish(EIO);
    return false;
}

void TPosixComDevice::Receive(std::uint8_t* data, std::size_t count)
{
    // Bytes that arrive while DSR is off are dropped, where there is a DSR.
    if (dsrSensitive_ && hasModemLines_) {
        int lines = 0;
        if (ioctl(fd_, TIOCMGET, &lines) == 0 && !(lines & TIOCM_DSR))
            return;
    }
    std::uint32_t events = 0;
    const std::uint8_t* bytes = data;
    if (decoder_.Active()) {
        const TLineInputDecoder::TResult decoded = decoder_.Decode(data, count, decodeBuffer_.data());
        bytes = decodeBuffer_.data();
        count = decoded.Length;
        if (decoded.Break)
            events |= Comm::EvBreak;
        if (decoded.Error)
            events |= Comm::EvErr;
        // Where the driver counts errors, the counters tell which they were.
        if (!hasLineCounters_ && decoded.Break)
            errors_ |= Comm::CeBreak;
        if (!hasLineCounters_ && decoded.Error)
            errors_ |= Comm::CeRxParity;
    }
    if (hasLineCounters_)
        CheckLineCounters();

    const std::size_t fullMark = queue_.Capacity() * 4 / 5;
    const bool wasBelowMark = queue_.Count() < fullMark;
    const std::size_t queued = queue_.Push(bytes, count);
    if (queued < count)
        errors_ |= Comm::CeRxOver;
    if (queued > 0)
        events |= Comm::EvRxChar;
    if (std::memchr(bytes, eventChar_, queued))
        events |= Comm::EvRxFlag;
    if (wasBelowMark && queue_.Count() >= fullMark)
        events |= Comm::EvRx80Full;
    RaiseEvents(events);
}

// Gives queued bytes to the pending reads, oldest first, and completes
// those that are satisfied or out of time. True when bytes were taken.
bool TPosixComDevice::ServiceReads(TClock::time_point now)
{
    bool tookBytes = false;
    while (!reads_.empty()) {
        TPendingRead& read = reads_.front();
        if (!read.Active) {
            read.Active = true;
            read.Timeouts = ReadTimeoutsFor(timeouts_, read.Count);
            if (read.Timeouts.Total)
                read.TotalDeadline = now + *read.Timeouts.Total;
        }
        if (read.Done < read.Count && queue_.Count() > 0) {
            read.Done += static_cast<std::uint32_t>(queue_.Pop(read.Data + read.Done, read.Count - read.Done));
            read.LastByte = now;
            tookBytes = true;
            // Its owner may be asleep with no interval deadline yet (another
            // thread, such as the event thread, pumped the bytes): it must
            // wake to time the interval from now on.
            WakeWaiters(read.Operation);
        }
        const TReadTimeouts& rules = read.Timeouts;
        bool complete = read.Done == read.Count || rules.ReturnAtOnce || (rules.FirstBytesEnd && read.Done > 0) ||
                        (read.TotalDeadline && now >= *read.TotalDeadline) ||
                        (rules.Interval && read.Done > 0 && now >= read.LastByte + *rules.Interval);
        int error = 0;
        if (vanished_ && read.Done < read.Count) {
            // What arrived before the device went is delivered; after that
            // every read fails.
            complete = true;
            error = read.Done > 0 ? 0 : vanishError_;
        }
        if (!complete)
            break;
        Finish(*read.Operation, read.Done, error);
        reads_.pop_front();
    }
    return tookBytes;
}

// Writes the oldest pending write as far as the descriptor takes it; a
// write out of time completes short, which is not an error.
void TPosixComDevice::ServiceWrites(TClock::time_point now)
{
    while (!writes_.empty()) {
        TPendingWrite& pending = writes_.front();
        if (!pending.Active) {
            pending.Active = true;
            if (const auto limit = WriteTimeLimit(timeouts_, pending.Count))
                pending.Deadline = now + *limit;
        }
        int error = 0;
        bool complete = false;
        if (vanished_) {
            error = vanishError_;
            complete = true;
        } else if (pending.Deadline && now >= *pending.Deadline) {
            complete = true;
        }
        if (!complete && !Writable())
            break;
        while (!complete && pending.Done < pending.Count) {
            const std::uint32_t wanted = pending.Count - pending.Done;
            const ssize_t written = write(fd_, pending.Data + pending.Done, wanted);
            if (written > 0) {
                pending.Done += static_cast<std::uint32_t>(written);
                // A short write took all the room there was: wait for more.
                if (static_cast<std::uint32_t>(written) < wanted)
                    break;
                continue;
            }
            if (written < 0 && errno == EINTR)
                continue;
            if (written < 0 && errno == EAGAIN)
                break;
            error = written < 0 ? errno : EIO;
            complete = true;
            if (Gone(error)) {
                Vanish(error);
                error = vanishError_;
            }
        }
        if (pending.Done == pending.Count)
            complete = true;
        if (!complete)
            break;
        if (pending.Done > 0 && !vanished_) {
            outputDraining_ = true;
            drainCheck_.reset();
        }
        Finish(*pending.Operation, pending.Done, error);
        writes_.pop_front();
    }
}

// Writes go out only when poll() calls the line writable. The kernel's
// rule for that keeps writes large where a blind write would trickle small
// pieces into a nearly full buffer (measured on pseudo-terminals: about a
// tenth more throughput).
bool TPosixComDevice::Writable()
{
    if (std::exchange(outputReady_, false))
        return true;
    pollfd entry{fd_, POLLOUT, 0};
    return poll(&entry, 1, 0) == 1 && (entry.revents & (POLLOUT | POLLERR | POLLHUP));
}

void TPosixComDevice::Finish(TOverlapped& operation, std::uint32_t transferred, int error, std::uint32_t eventMask)
{
    operation.Complete(transferred, error, eventMask);
    WakeWaiters(&operation);
}

void TPosixComDevice::AbortReads()
{
    for (const TPendingRead& read : reads_)
        Finish(*read.Operation, read.Done, ECANCELED);
    reads_.clear();
}

void TPosixComDevice::AbortWrites()
{
    for (const TPendingWrite& pending : writes_)
        Finish(*pending.Operation, pending.Done, ECANCELED);
    writes_.clear();
}

void TPosixComDevice::Vanish(int error)
{
    if (vanished_)
        return;
    vanished_ = true;
    vanishError_ = error > 0 ? error : EIO;
    if (TOverlapped* wait = std::exchange(eventWait_, nullptr))
        Finish(*wait, 0, vanishError_);
    // Every waiter must see it: none may poll the dead descriptor again.
    WakeWaiters(nullptr);
}
