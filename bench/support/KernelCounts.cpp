#include "support/KernelCounts.h"

#include <linux/perf_event.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <fstream>

namespace {

// The tracepoint's number, from whichever tracing directory is mounted.
std::uint64_t SystemCallTracepoint()
{
    for (const char* path : {"/sys/kernel/tracing/events/raw_syscalls/sys_enter/id",
                             "/sys/kernel/debug/tracing/events/raw_syscalls/sys_enter/id"}) {
        std::ifstream file(path);
        std::uint64_t id = 0;
        if (file >> id)
            return id;
    }
    return 0;
}

} // namespace

struct TKernelCounts::TCounter {
    TCounter(std::uint32_t type, std::uint64_t config)
    {
        perf_event_attr attributes;
        std::memset(&attributes, 0, sizeof attributes);
        attributes.size = sizeof attributes;
        attributes.type = type;
        attributes.config = config;
        attributes.inherit = 1;
        fd = static_cast<int>(syscall(SYS_perf_event_open, &attributes, 0, -1, -1, PERF_FLAG_FD_CLOEXEC));
    }
    ~TCounter()
    {
        if (fd >= 0)
            close(fd);
    }
    // With inherit, the count includes the threads started since.
    double Read() const
    {
        std::uint64_t value = 0;
        if (fd < 0 || read(fd, &value, sizeof value) != sizeof value)
            return 0;
        return static_cast<double>(value);
    }

    int fd = -1;
};

TKernelCounts::TKernelCounts()
{
    if (const std::uint64_t tracepoint = SystemCallTracepoint())
        systemCalls_ = std::make_unique<TCounter>(PERF_TYPE_TRACEPOINT, tracepoint);
    contextSwitches_ = std::make_unique<TCounter>(PERF_TYPE_SOFTWARE, PERF_COUNT_SW_CONTEXT_SWITCHES);
}

TKernelCounts::~TKernelCounts() = default;

bool TKernelCounts::Available() const
{
    return systemCalls_ && systemCalls_->fd >= 0 && contextSwitches_->fd >= 0;
}

TKernelCounts::TSample TKernelCounts::Now() const
{
    if (!Available())
        return {};
    return {systemCalls_->Read(), contextSwitches_->Read()};
}

TKernelCounts::TSample TKernelCounts::TSample::operator-(const TSample& earlier) const
{
    return {SystemCalls - earlier.SystemCalls, ContextSwitches - earlier.ContextSwitches};
}

TKernelCounts::TSample& TKernelCounts::TSample::operator+=(const TSample& more)
{
    SystemCalls += more.SystemCalls;
    ContextSwitches += more.ContextSwitches;
    return *this;
}

TKernelCounts::TSample TKernelCounts::TSample::operator/(double events) const
{
    if (events <= 0)
        return {};
    return {SystemCalls / events, ContextSwitches / events};
}
