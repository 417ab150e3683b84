#pragma once

#include <QImage>

// The pixels of `image` in `color` (alpha ignored): how much of a curve a
// picture shows.
long CountColor(const QImage& image, QRgb color);
