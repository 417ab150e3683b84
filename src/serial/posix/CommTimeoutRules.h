#pragma once

#include "serial/ComDevice.h"

#include <chrono>
#include <cstdint>
#include <optional>

// The serial driver's time-out rules for one read or write.

using TMilliseconds = std::chrono::milliseconds;

struct TReadTimeouts {
    // Complete at once with what is queued, possibly nothing.
    bool ReturnAtOnce = false;
    // Complete as soon as anything has been received.
    bool FirstBytesEnd = false;
    // Longest time for the whole read; none: no limit.
    std::optional<TMilliseconds> Total;
    // Longest gap between two bytes, counted from the first byte; none: no limit.
    std::optional<TMilliseconds> Interval;

    friend bool operator==(const TReadTimeouts&, const TReadTimeouts&) = default;
};

// - an interval of all ones with both totals zero: return at once;
// - an interval and multiplier of all ones with a constant between them:
//   return at once with what is queued, else with the first bytes to come,
//   else after the constant;
// - otherwise total = multiplier x count + constant when either is set, and
//   the interval counts unless it is 0 or all ones.
TReadTimeouts ReadTimeoutsFor(const TCommTimeouts& timeouts, std::uint32_t count);

// Longest time for a write of count bytes (multiplier x count + constant);
// none when both are zero.
std::optional<TMilliseconds> WriteTimeLimit(const TCommTimeouts& timeouts, std::uint32_t count);
