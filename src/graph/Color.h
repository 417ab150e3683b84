#pragma once

#include <QColor>

#include <cstdint>

// A colour packed as 0x00BBGGRR, the form in which the graph's settings and
// curves keep it.
using TColor = std::uint32_t;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clWhite = 0xFFFFFF;

inline QColor ToQColor(TColor color)
{
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}
