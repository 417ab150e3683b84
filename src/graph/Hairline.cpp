#include "graph/Hairline.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

std::int64_t FloorDiv(std::int64_t a, std::int64_t b)
{
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

std::int64_t CeilDiv(std::int64_t a, std::int64_t b)
{
    return -FloorDiv(-a, b);
}

// Step i of a line with `major` steps and `minor` > 0 sideways travel
// moves sideways by floor((2 i minor + major) / (2 major)). Narrows
// [first, last] to the steps whose sideways travel lies in [low, high].
void LimitBySidewaysTravel(std::int64_t major, std::int64_t minor, std::int64_t low, std::int64_t high,
                           std::int64_t& first, std::int64_t& last)
{
    first = std::max(first, CeilDiv(2 * major * low - major, 2 * minor));
    last = std::min(last, CeilDiv(2 * major * (high + 1) - major, 2 * minor) - 1);
}

// The pixels of an image that may be drawn: inclusive bounds.
struct TRaster {
    uchar* Bits;
    qsizetype Stride;
    int Left;
    int Top;
    int Right;
    int Bottom;
    QRgb Pixel;

    bool Contains(std::int64_t x, std::int64_t y) const { return x >= Left && x <= Right && y >= Top && y <= Bottom; }
};

// The raster of `clip` inside the image, or none when they do not meet.
bool MakeRaster(QImage& image, const QRect& clip, QRgb color, TRaster& raster)
{
    const QRect area = clip & image.rect();
    if (area.isEmpty())
        return false;
    raster = {image.bits(), image.bytesPerLine(), area.left(), area.top(), area.right(), area.bottom(), 0xFF000000u | color};
    return true;
}

// A horizontal or vertical line: grid lines, ticks and the columns of long
// curves. Its pixels run from the start up to the end, the end left out.
void DrawStraight(const TRaster& raster, int x0, int y0, int x1, int y1)
{
    const bool vertical = x0 == x1;
    const std::int64_t start = vertical ? y0 : x0;
    const std::int64_t end = vertical ? y1 : x1;
    const std::int64_t across = vertical ? x0 : y0;
    std::int64_t from = end > start ? start : end + 1;
    std::int64_t to = end > start ? end - 1 : start;
    if (vertical ? (across < raster.Left || across > raster.Right) : (across < raster.Top || across > raster.Bottom))
        return;
    from = std::max<std::int64_t>(from, vertical ? raster.Top : raster.Left);
    to = std::min<std::int64_t>(to, vertical ? raster.Bottom : raster.Right);
    if (from > to)
        return;
    if (!vertical) {
        std::fill_n(reinterpret_cast<QRgb*>(raster.Bits + across * raster.Stride) + from, to - from + 1, raster.Pixel);
        return;
    }
    uchar* pixel = raster.Bits + from * raster.Stride + across * qsizetype(sizeof(QRgb));
    for (std::int64_t row = from; row <= to; ++row, pixel += raster.Stride)
        *reinterpret_cast<QRgb*>(pixel) = raster.Pixel;
}

void DrawSegment(const TRaster& raster, int x0, int y0, int x1, int y1)
{
    if (x0 == x1 || y0 == y1) {
        DrawStraight(raster, x0, y0, x1, y1);
        return;
    }
    const std::int64_t dx = std::int64_t(x1) - x0;
    const std::int64_t dy = std::int64_t(y1) - y0;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const std::int64_t major = xMajor ? std::llabs(dx) : std::llabs(dy);
    const std::int64_t minor = xMajor ? std::llabs(dy) : std::llabs(dx);
    const int majorStep = (xMajor ? dx : dy) > 0 ? 1 : -1;
    const int minorStep = (xMajor ? dy : dx) > 0 ? 1 : -1;
    const std::int64_t majorStart = xMajor ? x0 : y0;
    const std::int64_t minorStart = xMajor ? y0 : x0;

    // The steps whose pixel lies inside the clip along both axes: all of
    // them when both ends are inside, as for most segments of a curve.
    std::int64_t first = 0;
    std::int64_t last = major - 1;
    if (!raster.Contains(x0, y0) || !raster.Contains(x1, y1)) {
        const std::int64_t majorLow = xMajor ? raster.Left : raster.Top;
        const std::int64_t majorHigh = xMajor ? raster.Right : raster.Bottom;
        const std::int64_t minorLow = xMajor ? raster.Top : raster.Left;
        const std::int64_t minorHigh = xMajor ? raster.Bottom : raster.Right;
        if (majorStep > 0) {
            first = std::max(first, majorLow - majorStart);
            last = std::min(last, majorHigh - majorStart);
        } else {
            first = std::max(first, majorStart - majorHigh);
            last = std::min(last, majorStart - majorLow);
        }
        if (minorStep > 0)
            LimitBySidewaysTravel(major, minor, minorLow - minorStart, minorHigh - minorStart, first, last);
        else
            LimitBySidewaysTravel(major, minor, minorStart - minorHigh, minorStart - minorLow, first, last);
        if (first > last)
            return;
    }

    // Steps through the image's bytes: one pixel along, one row or column
    // across where the exact position has moved on by a pixel.
    constexpr qsizetype PixelBytes = qsizetype(sizeof(QRgb));
    const qsizetype along = majorStep * (xMajor ? PixelBytes : raster.Stride);
    const qsizetype across = minorStep * (xMajor ? raster.Stride : PixelBytes);
    std::int64_t sideways = 0;
    std::int64_t remainder = major;
    if (first > 0) {
        sideways = (2 * first * minor + major) / (2 * major);
        remainder = (2 * first * minor + major) % (2 * major);
    }
    const std::int64_t x = xMajor ? majorStart + first * majorStep : minorStart + sideways * minorStep;
    const std::int64_t y = xMajor ? minorStart + sideways * minorStep : majorStart + first * majorStep;
    uchar* pixel = raster.Bits + y * raster.Stride + x * PixelBytes;
    for (std::int64_t i = first; i <= last; ++i) {
        *reinterpret_cast<QRgb*>(pixel) = raster.Pixel;
        pixel += along;
        remainder += 2 * minor;
        if (remainder >= 2 * major) {
            remainder -= 2 * major;
            pixel += across;
        }
    }
}

} // namespace

void DrawHairline(QImage& image, const QRect& clip, QRgb color, int x0, int y0, int x1, int y1)
{
    TRaster raster;
    if (MakeRaster(image, clip, color, raster))
        DrawSegment(raster, x0, y0, x1, y1);
}

void DrawHairlines(QImage& image, const QRect& clip, QRgb color, const QPoint* points, int count)
{
    TRaster raster;
    if (!MakeRaster(image, clip, color, raster))
        return;
    for (int i = 1; i < count; ++i)
        DrawSegment(raster, points[i - 1].x(), points[i - 1].y(), points[i].x(), points[i].y());
}
