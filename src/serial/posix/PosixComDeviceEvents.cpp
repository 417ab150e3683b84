#include "serial/posix/PosixComDevice.h"

#include <sys/ioctl.h>

#include <algorithm>
#include <utility>

// The event mask, the event wait and the events that are not found by
// reading: output drained, and line changes and errors the driver counts.

int TPosixComDevice::SetEventMask(std::uint32_t mask)
{
    int error = 0;
    {
        std::lock_guard lock(mutex_);
        eventMask_ = mask;
        eventHistory_ = 0;
        if (TOverlapped* wait = std::exchange(eventWait_, nullptr))
            Finish(*wait, 0, 0);
        if (vanished_)
            error = vanishError_;
    }
    UpdateLineWatcher();
    return error;
}

int TPosixComDevice::StartEventWait(TOverlapped& operation)
{
    std::lock_guard lock(mutex_);
    if (operation.Busy())
        return EBUSY;
    int error = 0;
    if (eventWait_)
        error = EINVAL;
    else if (vanished_)
        error = vanishError_;
    if (error != 0) {
        operation.Complete(0, error);
        return error;
    }
    operation.Begin(this);
    eventWait_ = &operation;
    RaiseEvents(0);
    // Input the kernel holds is not asked for here: the wait's poll() reports
    // it at once, and on a quiet line the question would be one call more
    // for every event.
    if (eventWait_)
        Service(TClock::now(), false);
    return operation.Busy() ? IoPending : operation.Error();
}

// Records events of the mask, and hands everything recorded to a pending
// event wait.
void TPosixComDevice::RaiseEvents(std::uint32_t events)
{
    eventHistory_ |= events & eventMask_;
    if (eventHistory_ == 0 || !eventWait_)
        return;
    Finish(*std::exchange(eventWait_, nullptr), 0, 0, std::exchange(eventHistory_, 0));
}

void TPosixComDevice::CheckLineCounters()
{
    serial_icounter_struct counters{};
    if (ioctl(fd_, TIOCGICOUNT, &counters) != 0)
        return;
    const serial_icounter_struct& last = lineCounters_;
    std::uint32_t events = 0;
    if (counters.cts != last.cts)
        events |= Comm::EvCts;
    if (counters.dsr != last.dsr)
        events |= Comm::EvDsr;
    if (counters.dcd != last.dcd)
        events |= Comm::EvRlsd;
    if (counters.rng != last.rng)
        events |= Comm::EvRing;
    const struct {
        int now;
        int before;
        std::uint32_t error;
        std::uint32_t event;
    } errors[] = {
        {counters.frame, last.frame, Comm::CeFrame, Comm::EvErr},
        {counters.parity, last.parity, Comm::CeRxParity, Comm::EvErr},
        {counters.overrun, last.overrun, Comm::CeOverrun, Comm::EvErr},
        {counters.brk, last.brk, Comm::CeBreak, Comm::EvBreak},
        {counters.buf_overrun, last.buf_overrun, Comm::CeRxOver, 0},
    };
    for (const auto& counter : errors) {
        if (counter.now != counter.before) {
            errors_ |= counter.error;
            events |= counter.event;
        }
    }
    lineCounters_ = counters;
    RaiseEvents(events);
}

// The output has drained when the kernel holds no more bytes to send. A
// pseudo-terminal drains at once; a UART is asked again when the bytes it
// still holds should have left, never in a loop.
void TPosixComDevice::CheckOutputDrained(TClock::time_point now)
{
    if (!outputDraining_ || !writes_.empty())
        return;
    if (!(eventMask_ & Comm::EvTxEmpty) || vanished_) {
        outputDraining_ = false;
        drainCheck_.reset();
        return;
    }
    if (drainCheck_ && now < *drainCheck_)
        return;
    int pending = 0;
    if (ioctl(fd_, TIOCOUTQ, &pending) == 0 && pending > 0) {
        const auto left = std::chrono::microseconds(std::uint64_t{characterTime_} * static_cast<unsigned>(pending));
        drainCheck_ = now + std::clamp<TClock::duration>(left, std::chrono::milliseconds(1), std::chrono::seconds(1));
        // Waiters sleep by the deadlines they saw; this one is new.
        WakeWaiters(nullptr);
        return;
    }
    outputDraining_ = false;
    drainCheck_.reset();
    RaiseEvents(Comm::EvTxEmpty);
}

int TPosixComDevice::WatchedLines() const
{
    if (!hasLineCounters_ || !hasModemLines_ || vanished_)
        return 0;
    int lines = 0;
    if (eventMask_ & Comm::EvCts)
        lines |= TIOCM_CTS;
    if (eventMask_ & Comm::EvDsr)
        lines |= TIOCM_DSR;
    if (eventMask_ & Comm::EvRlsd)
        lines |= TIOCM_CD;
    if (eventMask_ & Comm::EvRing)
        lines |= TIOCM_RNG;
    return lines;
}

void TPosixComDevice::UpdateLineWatcher()
{
    std::lock_guard watcherLock(watcherMutex_);
    int lines = 0;
    {
        std::lock_guard lock(mutex_);
        lines = WatchedLines();
    }
    if (lineWatcher_ && lineWatcher_->Lines() == lines)
        return;
    // Ended without mutex_ held: its callback may be waiting for it.
    lineWatcher_.reset();
    if (lines == 0)
        return;
    lineWatcher_ = std::make_unique<TModemLineWatcher>(fd_, lines, [this] {
        std::lock_guard lock(mutex_);
        if (!vanished_)
            CheckLineCounters();
    });
}
