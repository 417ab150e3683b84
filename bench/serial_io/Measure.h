#pragma once

#include <chrono>
#include <cstddef>
#include <vector>

// The work every contender does, and what it measured.
inline constexpr std::size_t BulkBytes = 1 << 20;
inline constexpr std::size_t BulkChunk = 4096;
inline constexpr std::size_t MessageBytes = 64;
inline constexpr int RoundTrips = 10000;
inline constexpr int WarmUpRoundTrips = 200;

using TNanoseconds = std::chrono::nanoseconds;

double MegabytesPerSecond(std::size_t bytes, TNanoseconds elapsed);
// The value below which the given share (0.5 for the median) of samples lie.
double PercentileMicroseconds(std::vector<TNanoseconds> samples, double share);
