#include "serial/posix/ModemLineWatcher.h"

#include <pthread.h>
#include <signal.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <chrono>

namespace {

// A real-time signal whose only job is to interrupt TIOCMIWAIT. Its handler
// does nothing and it is installed without SA_RESTART, so the call returns
// EINTR.
int InterruptSignal()
{
    static const int signal = [] {
        const int number = SIGRTMIN + 3;
        struct sigaction action {};
        action.sa_handler = [](int) {};
        sigemptyset(&action.sa_mask);
        action.sa_flags = 0;
        sigaction(number, &action, nullptr);
        return number;
    }();
    return signal;
}

} // namespace

TModemLineWatcher::TModemLineWatcher(int fd, int lines, std::function<void()> onChange)
    : fd_(fd), lines_(lines), onChange_(std::move(onChange))
{
    InterruptSignal();
    thread_ = std::thread([this] { Run(); });
}

TModemLineWatcher::~TModemLineWatcher()
{
    stopping_ = true;
    std::unique_lock lock(mutex_);
    while (!finished_) {
        pthread_kill(thread_.native_handle(), InterruptSignal());
        finishedChanged_.wait_for(lock, std::chrono::milliseconds(5));
    }
    lock.unlock();
    thread_.join();
}

void TModemLineWatcher::Run()
{
    while (!stopping_) {
        if (ioctl(fd_, TIOCMIWAIT, lines_) == 0) {
            onChange_();
            continue;
        }
        if (errno != EINTR)
            break;
    }
    std::lock_guard lock(mutex_);
    finished_ = true;
    finishedChanged_.notify_all();
}
