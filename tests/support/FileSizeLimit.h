#pragma once

#include <sys/resource.h>

#include <csignal>

// While it lives, no file this process writes may grow beyond the given size:
// a write past it fails with EFBIG (its SIGXFSZ ignored), as on a full quota.
class TFileSizeLimit
{
public:
    explicit TFileSizeLimit(rlim_t bytes)
        : previousHandler(std::signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit limited = saved;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~TFileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
    }
    TFileSizeLimit(const TFileSizeLimit&) = delete;
    TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

private:
    void (*previousHandler)(int);
    rlimit saved{};
};
