#include "serial/posix/CommTimeoutRules.h"

namespace {

// Products of two 32-bit values would overflow the clock; a limit beyond
// this (over 34 years) is no limit.
constexpr std::uint64_t LongestLimit = std::uint64_t{1} << 40;

std::optional<TMilliseconds> TotalLimit(std::uint32_t multiplier, std::uint32_t constant, std::uint32_t count)
{
    if (multiplier == 0 && constant == 0)
        return std::nullopt;
    const std::uint64_t total = std::uint64_t{multiplier} * count + constant;
    if (total > LongestLimit)
        return std::nullopt;
    return TMilliseconds(static_cast<std::int64_t>(total));
}

} // namespace

TReadTimeouts ReadTimeoutsFor(const TCommTimeouts& timeouts, std::uint32_t count)
{
    TReadTimeouts result;
    const bool noInterval = timeouts.ReadInterval == Comm::MaxDword;
    if (noInterval && timeouts.ReadTotalMultiplier == 0 && timeouts.ReadTotalConstant == 0) {
        result.ReturnAtOnce = true;
        return result;
    }
    if (noInterval && timeouts.ReadTotalMultiplier == Comm::MaxDword && timeouts.ReadTotalConstant > 0 &&
        timeouts.ReadTotalConstant < Comm::MaxDword) {
        result.FirstBytesEnd = true;
        result.Total = TMilliseconds(timeouts.ReadTotalConstant);
        return result;
    }
    result.Total = TotalLimit(timeouts.ReadTotalMultiplier, timeouts.ReadTotalConstant, count);
    if (timeouts.ReadInterval != 0 && !noInterval)
        result.Interval = TMilliseconds(timeouts.ReadInterval);
    return result;
}

std::optional<TMilliseconds> WriteTimeLimit(const TCommTimeouts& timeouts, std::uint32_t count)
{
    return TotalLimit(timeouts.WriteTotalMultiplier, timeouts.WriteTotalConstant, count);
}
