#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// Watches the modem input lines of a serial device for the event wait.
//
// Line changes are reported only by TIOCMIWAIT, which blocks in the kernel
// and cannot sit in a poll() set; so this is the one place where a device
// has a thread of its own. It exists only while the event mask asks for
// CTS, DSR, carrier or ring events on a device that keeps line counters (a
// UART or USB adapter, never a pseudo-terminal). It sleeps in the kernel
// until a watched line changes, then calls back and sleeps again. It ends
// by itself when the device goes away (the call fails); otherwise the
// destructor ends it with a signal that interrupts the call, repeated until
// the thread has left, since the signal may come just before it enters.
class TModemLineWatcher {
public:
    // lines: TIOCM_CTS, TIOCM_DSR, TIOCM_CD and TIOCM_RNG bits to watch.
    TModemLineWatcher(int fd, int lines, std::function<void()> onChange);
    TModemLineWatcher(const TModemLineWatcher&) = delete;
    TModemLineWatcher& operator=(const TModemLineWatcher&) = delete;
    ~TModemLineWatcher();

    int Lines() const { return lines_; }

private:
    void Run();

    const int fd_;
    const int lines_;
    std::function<void()> onChange_;
    std::atomic<bool> stopping_{false};
    std::mutex mutex_;
    std::condition_variable finishedChanged_;
    bool finished_ = false;
    std::thread thread_;
};
