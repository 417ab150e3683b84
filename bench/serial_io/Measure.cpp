#include "Measure.h"

#include <algorithm>
#include <cmath>

double MegabytesPerSecond(std::size_t bytes, TNanoseconds elapsed)
{
    return static_cast<double>(bytes) / 1e6 / std::chrono::duration<double>(elapsed).count();
}

double PercentileMicroseconds(std::vector<TNanoseconds> samples, double share)
{
    std::sort(samples.begin(), samples.end());
    const auto index = static_cast<std::size_t>(std::ceil(share * static_cast<double>(samples.size()))) - 1;
    return std::chrono::duration<double, std::micro>(samples[std::min(index, samples.size() - 1)]).count();
}
