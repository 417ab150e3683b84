#pragma once

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
    bool IsSet() const;
    // Blocks until the event is signalled.
    void Wait() const;

    // Readable exactly while the event is signalled; for poll() sets.
    int Fd() const { return fd_; }

private:
    int fd_;
};
