#include "Figures.h"

#include <time.h>

#include <algorithm>
#include <cstdio>

double Seconds(TClock::duration duration)
{
    return std::chrono::duration<double>(duration).count();
}

double ProcessCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

double Percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, size_t(fraction * double(values.size())));
    return values[index];
}

void Print(const char* name, double value, const char* unit)
{
    std::printf("%s %.6g %s\n", name, value, unit);
}
