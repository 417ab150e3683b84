#include "FarSide.h"

#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

PtyPair::PtyPair()
{
    char name[256] = {};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    termios raw {};
    ::tcgetattr(slave_, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(slave_, TCSANOW, &raw);
    slavePath_ = name;
}

PtyPair::~PtyPair()
{
    ::close(slave_);
    ::close(master_);
}

LatencyProbe::LatencyProbe(int farFd, int events) : farFd_(farFd), events_(events)
{
    latencies_.reserve(events);
    thread_ = std::thread([this] { Run(); });
}

LatencyProbe::~LatencyProbe()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        seenSignal_.notify_all();
    }
    thread_.join();
}

void LatencyProbe::Start()
{
    std::lock_guard lock(mutex_);
    started_ = true;
    seenSignal_.notify_all();
}

void LatencyProbe::Run()
{
    for (int i = 0; i < events_; ++i) {
        {
            std::unique_lock lock(mutex_);
            seenSignal_.wait(lock, [this] { return stopping_ || (started_ && acknowledged_); });
            if (stopping_)
                return;
        }
        // Bytes of a real device arrive while the receiver sleeps; written
        // at once, the next byte would find it still awake from the last.
        std::this_thread::sleep_for(std::chrono::microseconds(IdleGapMicroseconds));
        {
            std::lock_guard lock(mutex_);
            acknowledged_ = false;
            sentAt_ = Clock::now();
        }
        const char byte = 'x';
        if (::write(farFd_, &byte, 1) != 1)
            throw std::runtime_error("far side write failed");
    }
}

void LatencyProbe::Seen()
{
    const Clock::time_point now = Clock::now();
    std::lock_guard lock(mutex_);
    if (acknowledged_)
        return;  // a stray wake-up with nothing new
    latencies_.push_back(std::chrono::duration<double, std::micro>(now - sentAt_).count());
    ++seen_;
    acknowledged_ = true;
    seenSignal_.notify_all();
}

void LatencyRun::Add(const LatencyRun& round)
{
    Latencies.insert(Latencies.end(), round.Latencies.begin(), round.Latencies.end());
    Counts += round.Counts;
}

void PrintFigure(const std::string& name, double value, const std::string& unit)
{
    std::printf("%s %.3f %s\n", name.c_str(), value, unit.c_str());
    std::fflush(stdout);
}

double Percentile(std::vector<double> samples, double fraction)
{
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const auto index = static_cast<std::size_t>(fraction * static_cast<double>(samples.size() - 1) + 0.5);
    return samples[std::min(index, samples.size() - 1)];
}
