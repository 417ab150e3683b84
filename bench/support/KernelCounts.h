#pragma once

#include <memory>

// What the kernel did for some threads: system calls entered and context
// switches, counted from the moment of construction for the constructing
// thread and every thread it starts afterwards (threads that were already
// running, such as a benchmark's far side started earlier, are left out:
// getrusage cannot leave them out). Uses the kernel's performance counters
// (the raw_syscalls tracepoint and the context-switch software event);
// where the kernel refuses them, Available() is false.
class TKernelCounts {
public:
    struct TSample {
        double SystemCalls = 0;
        double ContextSwitches = 0;

        TSample operator-(const TSample& earlier) const;
        TSample& operator+=(const TSample& more);
        // Per event, for `events` events.
        TSample operator/(double events) const;
    };

    TKernelCounts();
    ~TKernelCounts();
    TKernelCounts(const TKernelCounts&) = delete;
    TKernelCounts& operator=(const TKernelCounts&) = delete;

    bool Available() const;
    // Said instead of the counts when they are not available.
    static constexpr const char* Refusal =
        "the kernel refuses its counters (they need tracefs at /sys/kernel/tracing and "
        "kernel.perf_event_paranoid at 1 or below, or root); system calls and context switches are left out";
    // The counts so far; zeros when not available.
    TSample Now() const;

private:
    struct TCounter;
    std::unique_ptr<TCounter> systemCalls_;
    std::unique_ptr<TCounter> contextSwitches_;
};

