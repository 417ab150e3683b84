#pragma once

#include <atomic>
#include <mutex>

// A manual-reset event that can also be waited for in poll() beside file
// descriptors: it stays signalled from Set() until Reset(). Thread-safe.
class TManualResetEvent {
public:
    explicit TManualResetEvent(bool signalled = false);
    TManualResetEvent(const TManualResetEvent&) = delete;
    TManualResetEvent& operator=(const TManualResetEvent&) = delete;
    ~TManualResetEvent();

    void Set();
    void Reset();
    // A plain load: checked on every pass of a wait loop, it costs no call
    // into the system.
    bool IsSet() const { return signalled_.load(std::memory_order_acquire); }
    // Blocks until the event is signalled.
    void Wait() const;

    // Readable exactly while the event is signalled; for poll() sets.
    int Fd() const { return fd_; }

private:
    int fd_;
    // Set and Reset change the flag and the descriptor together.
    std::mutex change_;
    std::atomic<bool> signalled_;
};
