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

// Step i of a line with `major` steps and `minor` sideways travel moves
// sideways by floor((2 i minor + major) / (2 major)). Narrows [first, last]
// to the steps whose sideways travel lies in [low, high].
void LimitBySidewaysTravel(std::int64_t major, std::int64_t minor, std::int64_t low, std::int64_t high,
                           std::int64_t& first, std::int64_t& last)
{
    if (minor == 0) {
        if (low > 0 || high < 0)
            last = first - 1;
        return;
    }
    first = std::max(first, CeilDiv(2 * major * low - major, 2 * minor));
    last = std::min(last, CeilDiv(2 * major * (high + 1) - major, 2 * minor) - 1);
}

} // namespace

void DrawHairline(QImage& image, const QRect& clip, QRgb color, int x0, int y0, int x1, int y1)
{
    const QRect area = clip & image.rect();
    if (area.isEmpty())
        return;
    const std::int64_t dx = std::int64_t(x1) - x0;
    const std::int64_t dy = std::int64_t(y1) - y0;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const std::int64_t major = xMajor ? std::llabs(dx) : std::llabs(dy);
    const std::int64_t minor = xMajor ? std::llabs(dy) : std::llabs(dx);
    if (major == 0)
        return;
    const int majorStep = (xMajor ? dx : dy) > 0 ? 1 : -1;
    const int minorStep = (xMajor ? dy : dx) > 0 ? 1 : -1;
    const std::int64_t majorStart = xMajor ? x0 : y0;
    const std::int64_t minorStart = xMajor ? y0 : x0;
    const std::int64_t majorLow = xMajor ? area.left() : area.top();
    const std::int64_t majorHigh = xMajor ? area.right() : area.bottom();
    const std::int64_t minorLow = xMajor ? area.top() : area.left();
    const std::int64_t minorHigh = xMajor ? area.bottom() : area.right();

    // The steps whose pixel lies inside the clip along both axes.
    std::int64_t first = 0;
    std::int64_t last = major - 1;
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

    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    const QRgb pixel = 0xFF000000u | color;
    if (minor == 0) {
        // Grid lines, ticks and the columns of long curves: one straight run.
        const std::int64_t from = majorStep > 0 ? majorStart + first : majorStart - last;
        if (xMajor) {
            std::fill_n(reinterpret_cast<QRgb*>(bits + minorStart * stride) + from, last - first + 1, pixel);
        } else {
            uchar* row = bits + from * stride + minorStart * qsizetype(sizeof(QRgb));
            for (std::int64_t i = first; i <= last; ++i, row += stride)
                *reinterpret_cast<QRgb*>(row) = pixel;
        }
        return;
    }
    std::int64_t sideways = (2 * first * minor + major) / (2 * major);
    std::int64_t remainder = (2 * first * minor + major) % (2 * major);
    for (std::int64_t i = first; i <= last; ++i) {
        const std::int64_t along = majorStart + i * majorStep;
        const std::int64_t across = minorStart + sideways * minorStep;
        const std::int64_t x = xMajor ? along : across;
        const std::int64_t y = xMajor ? across : along;
        reinterpret_cast<QRgb*>(bits + y * stride)[x] = pixel;
        remainder += 2 * minor;
        if (remainder >= 2 * major) {
            remainder -= 2 * major;
            ++sideways;
        }
    }
}
