#include "simulator/LinePacer.h"

#include <algorithm>

namespace {
constexpr int64_t BitsPerByte = 10;
constexpr int64_t NanosecondsPerSecond = 1'000'000'000;
} // namespace

TLinePacer::TLinePacer(int baud, int chunkMin, int chunkMax, uint32_t seed)
    : baud(baud)
    , chunkMin(chunkMin)
    , chunkMax(chunkMax)
    , random(seed)
{
}

std::vector<TDelivery> TLinePacer::Plan(size_t frameSize, TClock::time_point now)
{
    const TClock::time_point start = baud > 0 ? std::max(now, lineFreeAt) : now;
    std::vector<TDelivery> deliveries;
    size_t end = 0;
    while (end < frameSize) {
        end += NextChunk(frameSize - end);
        deliveries.push_back({end, start + LineTime(end)});
    }
    lineFreeAt = start + LineTime(frameSize);
    return deliveries;
}

size_t TLinePacer::NextChunk(size_t remaining)
{
    size_t size = remaining;
    if (chunkMax > 0)
        size = static_cast<size_t>(std::uniform_int_distribution<int>(chunkMin, chunkMax)(random));
    else if (baud > 0)
        size = static_cast<size_t>(std::max(1, baud / static_cast<int>(BitsPerByte * 1000)));
    return std::min(size, remaining);
}

TClock::duration TLinePacer::LineTime(size_t bytes) const
{
    if (baud <= 0)
        return TClock::duration::zero();
    return std::chrono::duration_cast<TClock::duration>(
        std::chrono::nanoseconds(static_cast<int64_t>(bytes) * BitsPerByte * NanosecondsPerSecond / baud));
}
