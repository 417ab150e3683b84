#pragma once

#include "graph/Curve.h"

#include <QPoint>

#include <vector>

// How world values map to control pixels:
//   column = XBase + round((x - XMin) * XScale)
//   row    = YBase - round((y - YMin) * YScale)
struct TPixelMapping {
    double XMin = 0.0;
    double XScale = 1.0;
    double XBase = 0.0;
    double YMin = 0.0;
    double YScale = 1.0;
    double YBase = 0.0;
};

// The pixel polylines that draw a curve. Points are mapped with the curve's
// offsets. Segments reaching far outside the picture are cut at a guard
// border, so pixel positions stay small whatever the values; a point that
// is not a number breaks the line. With column reduction, consecutive
// points that fall into one pixel column are cut to the first, the lowest,
// the highest and the last of them: for a solid one-pixel line this draws
// exactly the same pixels, since the column is covered from its lowest to
// its highest pixel either way.
class TCurvePath {
public:
    void Build(const TCurve& curve, const TPixelMapping& mapping, bool reduceColumns);

    // All vertices; the polylines are consecutive runs of them.
    const std::vector<QPoint>& Vertices() const { return vertices_; }
    const std::vector<int>& RunLengths() const { return runLengths_; }

    // Mapped positions are kept within this distance of the origin.
    static constexpr double Guard = 1 << 22;

private:
    void AddVertex(int x, int y);
    void AddSegment(double x0, double y0, double x1, double y1);
    void FlushColumn(bool runEnds);
    void EndRun();

    bool reduceColumns_ = false;
    std::vector<QPoint> vertices_;
    std::vector<int> runLengths_;
    std::size_t runStart_ = 0;
    std::vector<QPoint> column_;
};
