#include "serial/Synchronizer.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSocketNotifier>
#include <QThread>

#include <linux/futex.h>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <mutex>
#include <stdexcept>

namespace {

// The release of a worker waiting for its hand-over: a futex word, so that
// releasing costs one wake-up of the worker and nothing else (a condition
// variable's worker wakes holding its mutex, and letting go of that mutex
// costs a second call). Released, the worker may go on and end its
// hand-over at once; the releasing thread then passes only the word's
// address to the kernel, which tolerates a word that is gone.
class DoneSignal {
public:
    void Wait()
    {
        std::uint32_t expected = Pending;
        if (!word_.compare_exchange_strong(expected, Sleeping, std::memory_order_acquire))
            return;
        while (word_.load(std::memory_order_acquire) != Released)
            ::syscall(SYS_futex, &word_, FUTEX_WAIT_PRIVATE, Sleeping, nullptr, nullptr, 0);
    }
    void Release()
    {
        if (word_.exchange(Released, std::memory_order_release) == Sleeping)
            ::syscall(SYS_futex, &word_, FUTEX_WAKE_PRIVATE, 1, nullptr, nullptr, 0);
    }

private:
    static constexpr std::uint32_t Pending = 0;
    static constexpr std::uint32_t Sleeping = 1;
    static constexpr std::uint32_t Released = 2;
    std::atomic<std::uint32_t> word_ = Pending;
};
static_assert(sizeof(std::atomic<std::uint32_t>) == sizeof(std::uint32_t));

struct HandOver {
    const std::function<void()>* call = nullptr;
    bool releaseWhenTaken = false;
    const void* owner = nullptr;
    // Written before the release, read by the worker after it.
    std::exception_ptr error;
    DoneSignal done;
};

struct CallQueue {
    std::mutex mutex;
    std::condition_variable uiWake;  // a UI thread in ServeUntil waits here
    std::deque<HandOver*> pending;

    // Wakes the UI thread's event loop; read by workers, set up once on the UI thread.
    std::atomic<int> wakeFd = -1;
    QPointer<QSocketNotifier> wakeNotifier;  // UI thread only
};

CallQueue& queue()
{
    static CallQueue instance;
    return instance;
}

// Queues the hand-over, wakes the UI thread and sleeps until it is done.
void handOverAndWait(HandOver& handOver)
{
    const int wakeFd = queue().wakeFd;
    if (wakeFd < 0)
        throw std::logic_error("TSynchronizer::Prepare was not called on the user-interface thread");
    {
        std::lock_guard lock(queue().mutex);
        queue().pending.push_back(&handOver);
    }
    // Woken outside the lock, so the UI thread does not wake up to a lock
    // still held.
    queue().uiWake.notify_all();
    const std::uint64_t one = 1;
    // A full counter already means "wake up"; nothing else can fail here.
    [[maybe_unused]] ssize_t written = ::write(wakeFd, &one, sizeof one);
    handOver.done.Wait();
}

} // namespace

bool TSynchronizer::IsUiThread()
{
    const QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return false;
    // Asked on every delivery; Qt's answer costs two look-ups of thread-local
    // data in its library, so each thread keeps the answer for the application
    // object it was given for.
    thread_local const QCoreApplication* answeredFor = nullptr;
    thread_local bool answer = false;
    if (answeredFor != app) {
        answer = QThread::currentThread() == app->thread();
        answeredFor = app;
    }
    return answer;
}

void TSynchronizer::Prepare()
{
    if (!IsUiThread() || queue().wakeNotifier)
        return;
    if (queue().wakeFd < 0)
        queue().wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    const int wakeFd = queue().wakeFd;
    auto* notifier = new QSocketNotifier(wakeFd, QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [wakeFd] {
        std::uint64_t count = 0;
        [[maybe_unused]] ssize_t got = ::read(wakeFd, &count, sizeof count);
        RunPendingCalls();
    });
    queue().wakeNotifier = notifier;
}

void TSynchronizer::Synchronize(const std::function<void()>& call)
{
    if (IsUiThread()) {
        call();
        return;
    }
    HandOver handOver;
    handOver.call = &call;
    handOverAndWait(handOver);
    if (handOver.error)
        std::rethrow_exception(handOver.error);
}

void TSynchronizer::Send(const std::function<void()>& call, const void* owner)
{
    if (IsUiThread()) {
        call();
        return;
    }
    HandOver handOver;
    handOver.call = &call;
    handOver.releaseWhenTaken = true;
    handOver.owner = owner;
    handOverAndWait(handOver);
}

void TSynchronizer::DiscardSent(const void* owner)
{
    std::lock_guard lock(queue().mutex);
    auto& pending = queue().pending;
    for (auto it = pending.begin(); it != pending.end();) {
        if ((*it)->releaseWhenTaken && (*it)->owner == owner) {
            HandOver& dropped = **it;
            it = pending.erase(it);
            dropped.done.Release();
        } else {
            ++it;
        }
    }
}

int TSynchronizer::RunPendingCalls()
{
    int count = 0;
    for (;;) {
        std::unique_lock lock(queue().mutex);
        if (queue().pending.empty())
            return count;
        HandOver& next = *queue().pending.front();
        queue().pending.pop_front();
        ++count;
        lock.unlock();
        if (next.releaseWhenTaken) {
            // Copied while the sender still waits; it may go on from here.
            const std::function<void()> call = *next.call;
            next.done.Release();
            call();
            continue;
        }
        try {
            (*next.call)();
        } catch (...) {
            next.error = std::current_exception();
        }
        next.done.Release();
    }
}

void TSynchronizer::ServeUntil(const std::function<bool()>& done)
{
    for (;;) {
        RunPendingCalls();
        std::unique_lock lock(queue().mutex);
        if (done())
            return;
        queue().uiWake.wait(lock, [&] { return done() || !queue().pending.empty(); });
    }
}

void TSynchronizer::WakeUiThread()
{
    std::lock_guard lock(queue().mutex);
    queue().uiWake.notify_all();
}
