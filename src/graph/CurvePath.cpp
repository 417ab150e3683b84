#include "graph/CurvePath.h"

#include "graph/Rounding.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

double Row(const TPixelMapping& mapping, double y, double yOffset)
{
    return mapping.YBase - RoundHalfEven((y + yOffset - mapping.YMin) * mapping.YScale);
}

bool InsideGuard(double x, double y)
{
    return std::fabs(x) <= TCurvePath::Guard && std::fabs(y) <= TCurvePath::Guard;
}

// Liang-Barsky: narrows [t0, t1] to the part of the segment inside the
// guard square; false when nothing of it is inside.
bool ClipToGuard(double x0, double y0, double dx, double dy, double& t0, double& t1)
{
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 + TCurvePath::Guard, TCurvePath::Guard - x0, y0 + TCurvePath::Guard, TCurvePath::Guard - y0};
    t0 = 0.0;
    t1 = 1.0;
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    return t0 <= t1;
}

} // namespace

void TCurvePath::Build(const TCurve& curve, const TPixelMapping& mapping, bool reduceColumns)
{
    reduceColumns_ = reduceColumns;
    Clear();
    const TColumnMapping columns = ColumnMappingOf(mapping, curve.XOffset);
    if (reduceColumns) {
        curve.Columns.Update(curve.Points, columns);
        if (curve.Columns.Usable() && BuildFromColumns(curve, mapping))
            return;
        Clear();
    }

    bool havePrevious = false;
    bool previousInside = false;
    double previousX = 0.0;
    double previousY = 0.0;
    for (const TCurvePoint& point : curve.Points) {
        const double x = mapping.XBase + columns.Column(point.X);
        const double y = Row(mapping, point.Y, curve.YOffset);
        if (!std::isfinite(x) || !std::isfinite(y)) {
            EndRun();
            havePrevious = false;
            continue;
        }
        const bool inside = InsideGuard(x, y);
        if (inside && (!havePrevious || previousInside))
            AddVertex(int(x), int(y));
        else if (havePrevious)
            AddSegment(previousX, previousY, x, y);
        havePrevious = true;
        previousInside = inside;
        previousX = x;
        previousY = y;
    }
    EndRun();
}

void TCurvePath::Clear()
{
    vertices_.clear();
    runLengths_.clear();
    runStart_ = 0;
    column_ = {};
}

// The same vertices as the point by point path gives where every point is
// a number well inside the guard, which is checked on the way: false
// (nothing built) where that is not so. Since mapping is monotone, a span's
// lowest and highest rows are those of its smallest and largest value. The
// open column decides its last pixel point by point, as a run's end must.
bool TCurvePath::BuildFromColumns(const TCurve& curve, const TPixelMapping& mapping)
{
    const auto row = [&](double y) { return Row(mapping, y, curve.YOffset); };
    for (const TColumnSpan& span : curve.Columns.Spans()) {
        const double x = mapping.XBase + span.Column;
        const double topRow = row(span.Highest);
        const double bottomRow = row(span.Lowest);
        const double lowRow = std::min(topRow, bottomRow);
        const double highRow = std::max(topRow, bottomRow);
        if (!InsideGuard(x, lowRow) || !InsideGuard(x, highRow))
            return false;
        column_ = {true, int(x), int(row(span.First)), int(lowRow), int(highRow), int(row(span.Last)), false};
        FlushColumn(false);
    }
    const TColumnMapping columns = ColumnMappingOf(mapping, curve.XOffset);
    for (std::size_t i = curve.Columns.OpenStart(); i < curve.Points.size(); ++i) {
        const double x = mapping.XBase + columns.Column(curve.Points[i].X);
        const double y = row(curve.Points[i].Y);
        if (!InsideGuard(x, y))
            return false;
        AddVertex(int(x), int(y));
    }
    EndRun();
    return true;
}

// A segment with an end beyond the guard: only its part inside is drawn,
// as a run of its own where it enters from outside.
void TCurvePath::AddSegment(double x0, double y0, double x1, double y1)
{
    double t0 = 0.0;
    double t1 = 0.0;
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    if (!ClipToGuard(x0, y0, dx, dy, t0, t1)) {
        EndRun();
        return;
    }
    if (t0 > 0.0) {
        EndRun();
        AddVertex(RoundToPixel(x0 + t0 * dx), RoundToPixel(y0 + t0 * dy));
    }
    if (t1 < 1.0) {
        AddVertex(RoundToPixel(x0 + t1 * dx), RoundToPixel(y0 + t1 * dy));
        EndRun();
    } else {
        AddVertex(int(x1), int(y1));
    }
}

void TCurvePath::AddColumnVertex(int y)
{
    const QPoint vertex(column_.X, y);
    if (vertices_.size() == runStart_ || vertices_.back() != vertex)
        vertices_.push_back(vertex);
}

// Emits a column as at most four vertices that cover the same pixels as
// all of its vertices did: its whole span from lowest to highest, except
// its last pixel where the segments never covered it and no segment leaves
// the column (the end of a run). Where a segment leaves the column, it
// covers the last pixel itself. A zero-length segment draws nothing, so
// repeated vertices are left out.
void TCurvePath::FlushColumn(bool runEnds)
{
    if (!column_.Open)
        return;
    column_.Open = false;
    const TColumn c = column_;
    const bool lastIsExtreme = c.Last == c.Lowest || c.Last == c.Highest;
    AddColumnVertex(c.First);
    if (runEnds && !c.LastCovered) {
        // The last vertex is the extreme reached last: the span up to it.
        AddColumnVertex(c.Last == c.Highest ? c.Lowest : c.Highest);
    } else if (runEnds && lastIsExtreme) {
        // Visit the last vertex's extreme before the other one, so that a
        // segment leaves it.
        AddColumnVertex(c.Last);
        AddColumnVertex(c.Last == c.Highest ? c.Lowest : c.Highest);
    } else {
        // Either order of the extremes covers the span; the shorter way
        // draws fewer pixels twice.
        const bool lowestFirst = std::abs(c.First - c.Lowest) + std::abs(c.Highest - c.Last)
            <= std::abs(c.First - c.Highest) + std::abs(c.Lowest - c.Last);
        const int extremes[2] = {lowestFirst ? c.Lowest : c.Highest, lowestFirst ? c.Highest : c.Lowest};
        for (int extreme : extremes)
            if (extreme != c.First && extreme != c.Last)
                AddColumnVertex(extreme);
    }
    AddColumnVertex(c.Last);
}

void TCurvePath::EndRun()
{
    FlushColumn(true);
    const std::size_t length = vertices_.size() - runStart_;
    if (length >= 2)
        runLengths_.push_back(int(length));
    else
        vertices_.resize(runStart_);
    runStart_ = vertices_.size();
}
