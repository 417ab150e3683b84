#pragma once

#include <cmath>
#include <limits>

// Rounds to the nearest integer, halves to the even neighbour (140.5 -> 140,
// 141.5 -> 142). Adding and subtracting 2^52 makes the FPU round in its
// default mode, which is exactly this; it is much faster than nearbyint in
// the per-point loops. Values of 2^52 and more are integers already.
inline double RoundHalfEven(double value)
{
    constexpr double integralLimit = 4503599627370496.0;
    if (!(std::fabs(value) < integralLimit))
        return value;
    const double shift = std::copysign(integralLimit, value);
    return (value + shift) - shift;
}

// Pixel positions are kept well inside the Integer range, so that margins
// and pan offsets can be added to them without overflow. Not-a-number maps
// to 0.
inline constexpr int PixelLimit = 1 << 30;

inline int SaturateToPixel(double value)
{
    if (std::isnan(value))
        return 0;
    if (value > PixelLimit)
        return PixelLimit;
    if (value < -PixelLimit)
        return -PixelLimit;
    return int(value);
}

inline int RoundToPixel(double value)
{
    return SaturateToPixel(RoundHalfEven(value));
}
