#pragma once

#include "serial/ComDevice.h"
#include "serial/posix/CommTimeoutRules.h"
#include "serial/posix/LineInputDecoder.h"
#include "serial/posix/ModemLineWatcher.h"
#include "serial/posix/ReceiveQueue.h"

#include <linux/serial.h>

#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// A serial device on a termios descriptor with the serial driver's
// semantics. There is no reader thread: whichever thread calls in moves
// bytes between the descriptor and the receive queue or the pending
// transfers, records events, checks time-outs and completes operations. A
// thread that has to wait sleeps in poll() on the descriptor, a wake-up
// descriptor of its own (so another thread that completes its operation, or
// makes room in a full queue, can wake it) and the stop event it was given.
// All state is guarded by one mutex.
//
// Events are recorded as bytes enter the receive queue (received
// characters, the event character, 80 % full, and breaks and line errors
// marked by the kernel or counted by the driver), when the output has
// drained after a write, and, on devices with modem lines, by a watcher of
// line changes (see TModemLineWatcher).
//
// A device that disappears (hang-up: poll reports POLLHUP, read gives 0,
// writes fail with EIO) is marked vanished: pending and later operations
// fail at once with the system's error, and the descriptor is never polled
// again, so nothing spins on it.
class TPosixComDevice final : public TComDevice {
public:
    // Opens path for exclusive use (a lock every other opener sees, and the
    // tty's own exclusive mode). On failure returns null and sets osError;
    // a device held by another opener gives EBUSY.
    static std::unique_ptr<TPosixComDevice> Open(const std::string& path, int& osError);
    ~TPosixComDevice() override;

    int SetState(const TDeviceControlBlock& dcb) override;
    int SetTimeouts(const TCommTimeouts& timeouts) override;
    int SetupQueues(std::uint32_t inputSize, std::uint32_t outputSize) override;
    int ClearError(std::uint32_t& errors, TCommStatus& status) override;
    int ModemStatus(std::uint32_t& lines) override;
    int Purge(std::uint32_t flags) override;
    int StartWrite(TOverlapped& operation, const void* data, std::uint32_t count) override;
    int StartRead(TOverlapped& operation, void* data, std::uint32_t count) override;
    int SetEventMask(std::uint32_t mask) override;
    int StartEventWait(TOverlapped& operation) override;
    TWaitResult Wait(TOverlapped& operation, const TManualResetEvent* stop = nullptr) override;
    void Withdraw(TOverlapped& operation) override;

    // The largest queue size SetupQueues accepts.
    static constexpr std::uint32_t LargestQueue = 64u << 20;

private:
    using TClock = std::chrono::steady_clock;

    struct TPendingRead {
        TPendingRead(TOverlapped* operation, std::uint8_t* data, std::uint32_t count)
            : Operation(operation), Data(data), Count(count)
        {
        }
        TOverlapped* Operation;
        std::uint8_t* Data;
        std::uint32_t Count;
        std::uint32_t Done = 0;
        bool Active = false;
        TReadTimeouts Timeouts;
        std::optional<TClock::time_point> TotalDeadline;
        TClock::time_point LastByte{};
    };

    struct TPendingWrite {
        TPendingWrite(TOverlapped* operation, const std::uint8_t* data, std::uint32_t count)
            : Operation(operation), Data(data), Count(count)
        {
        }
        TOverlapped* Operation;
        const std::uint8_t* Data;
        std::uint32_t Count;
        std::uint32_t Done = 0;
        bool Active = false;
        std::optional<TClock::time_point> Deadline;
    };

    struct TWaiter {
        int WakeFd;
        const TOverlapped* Operation;
    };

    TPosixComDevice(int fd, bool hasModemLines, bool hasLineCounters, const serial_icounter_struct& counters);

    // Everything below runs with mutex_ held.
    void Service(TClock::time_point now, bool askKernel = true);
    bool PumpInput(bool askKernel);
    void Receive(std::uint8_t* data, std::size_t count);
    bool ServiceReads(TClock::time_point now);
    void ServiceWrites(TClock::time_point now);
    bool Writable();
    void Finish(TOverlapped& operation, std::uint32_t transferred, int error, std::uint32_t eventMask = 0);
    // Takes an operation off the pending lists; gives the bytes it moved.
    std::uint32_t Remove(const TOverlapped& operation);
    void AbortReads();
    void AbortWrites();
    void Vanish(int error);
    bool Gone(int error) const;
    std::optional<TClock::time_point> NextDeadline() const;
    short DevicePollEvents() const;
    void BlockUntilWoken(std::unique_lock<std::mutex>& lock, TOverlapped& operation,
                         const TManualResetEvent* stop, TClock::time_point now);
    void WakeWaiters(const TOverlapped* operation);
    void RaiseEvents(std::uint32_t events);
    void CheckLineCounters();
    void CheckOutputDrained(TClock::time_point now);
    // The modem lines the mask asks to watch, where they can be watched.
    int WatchedLines() const;
    // Starts or ends the line watcher to match the mask; without mutex_.
    void UpdateLineWatcher();

    std::mutex mutex_;
    const int fd_;
    bool hasModemLines_;
    const bool hasLineCounters_;
    bool vanished_ = false;
    int vanishError_ = 0;
    // poll() reported hang-up or an error on the descriptor.
    bool hangupSeen_ = false;
    // poll() reported input: the next read need not ask how much is waiting.
    bool inputReady_ = false;
    // poll() reported the line writable.
    bool outputReady_ = false;

    TCommTimeouts timeouts_{};
    TReceiveQueue queue_;
    TLineInputDecoder decoder_;
    bool dsrSensitive_ = false;
    std::uint32_t errors_ = 0;
    std::vector<std::uint8_t> readBuffer_;
    std::vector<std::uint8_t> decodeBuffer_;

    std::deque<TPendingRead> reads_;
    std::deque<TPendingWrite> writes_;
    std::vector<TWaiter> waiters_;
    // A waiter left the descriptor out of its poll set because the queue
    // was full; it must be woken when there is room again.
    bool waiterLacksInput_ = false;

    std::uint32_t eventMask_ = 0;
    // Events that occurred while no event wait was pending.
    std::uint32_t eventHistory_ = 0;
    TOverlapped* eventWait_ = nullptr;
    char eventChar_ = 0;
    serial_icounter_struct lineCounters_{};
    // A write has completed; the output has not been seen drained yet.
    bool outputDraining_ = false;
    std::optional<TClock::time_point> drainCheck_;
    // Microseconds one character takes on the line, to time the drain check.
    std::uint32_t characterTime_ = 1000;

    // Only the threads that set the mask or close the device touch it.
    std::mutex watcherMutex_;
    std::unique_ptr<TModemLineWatcher> lineWatcher_;
};
