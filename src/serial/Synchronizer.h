#pragma once

#include <functional>

// Calls from worker threads into the user-interface thread.
//
// Synchronize(): the worker hands a call to the UI thread and sleeps until it
// has run there; an exception thrown by the call is carried back and rethrown
// in the worker.
// Send(): the worker hands a call over and sleeps only until the UI thread has
// taken it, not until it has run.
//
// The UI thread runs handed-over calls from its event loop, and also while it
// waits for a worker to end (ServeUntil), so that a worker in the middle of a
// hand-over never deadlocks with a UI thread joining it.
//
// Hand-overs are queued under a std::mutex, the UI thread is woken through an
// eventfd, and a worker sleeps on an atomic word of its hand-over until the
// UI thread releases it: no Qt object crosses threads, so the thread
// sanitizer sees the whole protocol.
class TSynchronizer {
public:
    // Sets up the UI thread's wake-up channel. Called on the UI thread before
    // the first worker starts (TWorkerThread::Start does it).
    static void Prepare();

    // Runs `call` on the UI thread and returns when it has run. Called on the
    // UI thread itself, it runs the call directly.
    static void Synchronize(const std::function<void()>& call);

    // Hands `call` to the UI thread and returns once the UI thread has taken
    // it; the call then runs there. It must not throw. `owner` tags the call
    // for DiscardSent. Called on the UI thread itself, it runs the call directly.
    static void Send(const std::function<void()>& call, const void* owner);

    // Drops the calls of `owner` not yet taken, releasing their senders.
    static void DiscardSent(const void* owner);

    // Runs the calls handed over so far (UI thread). Returns how many ran.
    static int RunPendingCalls();

    // Blocks the UI thread until `done` is true, running handed-over calls
    // meanwhile. `done` is evaluated with the queue's lock held; whoever makes
    // it true must call WakeUiThread() afterwards.
    static void ServeUntil(const std::function<bool()>& done);

    // Wakes a UI thread blocked in ServeUntil to re-check its condition.
    static void WakeUiThread();

    static bool IsUiThread();
};
