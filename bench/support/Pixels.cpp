#include "support/Pixels.h"

long CountColor(const QImage& image, QRgb color)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    long count = 0;
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            count += (line[x] & 0xFFFFFF) == (color & 0xFFFFFF);
    }
    return count;
}
