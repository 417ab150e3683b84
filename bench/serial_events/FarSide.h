#pragma once

#include "support/KernelCounts.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A pseudo-terminal pair: the program under test opens SlavePath(), the
// benchmark plays the device on the master side.
class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    int MasterFd() const { return master_; }
    const std::string& SlavePath() const { return slavePath_; }

private:
    int master_ = -1;
    int slave_ = -1;  // kept open so the line never hangs up between opens
    std::string slavePath_;
};

// Writes one byte at a time on the far side and measures how long each takes
// to reach a handler on the UI thread: the next byte goes out only after the
// handler has reported the previous one with Seen(), and a short idle gap.
// Its thread runs from construction, so that kernel counts begun afterwards
// leave it out, but writes nothing before Start().
class LatencyProbe {
public:
    static constexpr int IdleGapMicroseconds = 300;

    LatencyProbe(int farFd, int events);
    ~LatencyProbe();

    void Start();
    // Called by the handler under test for each byte it has received.
    void Seen();
    bool Done() const { return seen_ == events_; }

    // Microseconds from the write to Seen(), one per event.
    const std::vector<double>& Latencies() const { return latencies_; }

private:
    void Run();

    using Clock = std::chrono::steady_clock;
    const int farFd_;
    const int events_;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable seenSignal_;
    Clock::time_point sentAt_;
    int seen_ = 0;  // UI thread only
    bool started_ = false;
    bool stopping_ = false;
    bool acknowledged_ = true;
    std::vector<double> latencies_;
};

// One peer's latency round: the latencies, and what the kernel did for the
// receiving side (the UI thread and any thread it started) meanwhile.
struct LatencyRun {
    std::vector<double> Latencies;
    TKernelCounts::TSample Counts;

    void Add(const LatencyRun& round);
};

// Prints "name value unit".
void PrintFigure(const std::string& name, double value, const std::string& unit);

// The value below which the given fraction of the samples lie.
double Percentile(std::vector<double> samples, double fraction);
