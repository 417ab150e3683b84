#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>

// Draws a solid one-pixel line of 32-bit colour into an image: every pixel
// from (x0, y0) up to, but not including, (x1, y1), as far as it lies in
// `clip`. Each step moves one pixel along the longer axis; the other
// coordinate is the exact one rounded, halves away from the start. Only
// the pixels inside the clip are visited, however long the line.
void DrawHairline(QImage& image, const QRect& clip, QRgb color, int x0, int y0, int x1, int y1);

// Every segment between consecutive points, each as DrawHairline draws it.
void DrawHairlines(QImage& image, const QRect& clip, QRgb color, const QPoint* points, int count);
