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

// The column part of a pixel mapping for a curve with this X offset.
inline TColumnMapping ColumnMappingOf(const TPixelMapping& mapping, double xOffset)
{
    return {mapping.XMin, mapping.XScale, xOffset};
}

// The pixel polylines that draw a curve. Points are mapped with the curve's
// offsets. Segments reaching far outside the picture are cut at a guard
// border, so pixel positions stay small whatever the values; a point that
// is not a number breaks the line. With column reduction, consecutive
// points that fall into one pixel column are cut to the first, the lowest,
// the highest and the last of them: for a solid one-pixel line this draws
// exactly the same pixels, since the column is covered from its lowest to
// its highest pixel either way. The reduction is taken from the curve's
// column summary, brought up to date first, wherever that summary applies.
class TCurvePath {
public:
    void Build(const TCurve& curve, const TPixelMapping& mapping, bool reduceColumns);

    // All vertices; the polylines are consecutive runs of them.
    const std::vector<QPoint>& Vertices() const { return vertices_; }
    const std::vector<int>& RunLengths() const { return runLengths_; }

    // Mapped positions are kept within this distance of the origin.
    static constexpr double Guard = 1 << 22;

private:
    // The vertices of the current run that fall into one column, as far as
    // they decide which of its pixels are drawn.
    struct TColumn {
        bool Open = false;
        int X = 0;
        int First = 0;
        int Lowest = 0;
        int Highest = 0;
        int Last = 0;
        // Whether the segments so far cover the last vertex's own pixel.
        bool LastCovered = false;
    };

    void AddVertex(int x, int y)
    {
        if (!reduceColumns_) {
            vertices_.emplace_back(x, y);
            return;
        }
        if (column_.Open && column_.X == x) {
            if (y != column_.Last)
                column_.LastCovered = y >= column_.Lowest && y <= column_.Highest;
            column_.Lowest = y < column_.Lowest ? y : column_.Lowest;
            column_.Highest = y > column_.Highest ? y : column_.Highest;
            column_.Last = y;
            return;
        }
        FlushColumn(false);
        column_ = {true, x, y, y, y, y, false};
    }
    void Clear();
    bool BuildFromColumns(const TCurve& curve, const TPixelMapping& mapping);
    void AddSegment(double x0, double y0, double x1, double y1);
    void FlushColumn(bool runEnds);
    void AddColumnVertex(int y);
    void EndRun();

    bool reduceColumns_ = false;
    std::vector<QPoint> vertices_;
    std::vector<int> runLengths_;
    std::size_t runStart_ = 0;
    TColumn column_;
};
