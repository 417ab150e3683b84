#pragma once

#include "serial/WorkerThread.h"

#include <QCoreApplication>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

// A worker thread running the given body.
class LambdaThread : public TWorkerThread {
public:
    explicit LambdaThread(std::function<void()> body) : body_(std::move(body)) {}
    ~LambdaThread() override { WaitFor(); }

protected:
    void Execute() override { body_(); }

private:
    std::function<void()> body_;
};

// A flag one thread raises and another waits for, with a bound so that a
// broken hand-over fails the test instead of hanging it.
class Flag {
public:
    void Raise()
    {
        std::lock_guard lock(mutex_);
        raised_ = true;
        changed_.notify_all();
    }
    bool WaitRaised(std::chrono::milliseconds bound = std::chrono::seconds(10))
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, bound, [this] { return raised_; });
    }
    bool IsRaised()
    {
        std::lock_guard lock(mutex_);
        return raised_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool raised_ = false;
};

// Runs the UI thread's event loop until `done` holds.
inline void processEventsUntil(const std::function<bool()>& done)
{
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}
