#pragma once

#include <atomic>
#include <thread>

// A worker thread with a run body supplied by a derived class.
//
// WaitFor() called on the user-interface thread keeps running the calls and
// messages the worker hands to it while waiting, so a worker blocked in such
// a hand-over still finishes. A derived class must end its thread (WaitFor)
// in its own destructor, before its members go away.
class TWorkerThread {
public:
    TWorkerThread() = default;
    TWorkerThread(const TWorkerThread&) = delete;
    TWorkerThread& operator=(const TWorkerThread&) = delete;
    virtual ~TWorkerThread();

    void Start();
    void Terminate() { terminated_ = true; }
    bool Terminated() const { return terminated_; }
    bool Finished() const { return finished_; }

    // Waits until Execute has returned. Returns at once when the thread was
    // never started or has already been waited for.
    void WaitFor();

protected:
    // The thread body. An exception escaping it ends the thread quietly.
    virtual void Execute() = 0;

private:
    void Run();

    std::thread thread_;
    std::atomic<bool> terminated_ = false;
    std::atomic<bool> finished_ = false;
};
