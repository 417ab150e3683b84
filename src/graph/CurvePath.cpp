#include "graph/CurvePath.h"

#include "graph/Rounding.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

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
    if (reduceColumns && BuildSortedColumns(curve, mapping))
        return;
    Clear();

    bool havePrevious = false;
    bool previousInside = false;
    double previousX = 0.0;
    double previousY = 0.0;
    for (const TCurvePoint& point : curve.Points) {
        const double x = mapping.XBase + RoundHalfEven((point.X + curve.XOffset - mapping.XMin) * mapping.XScale);
        const double y = mapping.YBase - RoundHalfEven((point.Y + curve.YOffset - mapping.YMin) * mapping.YScale);
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

// The common case of a long curve, x ascending and every point well inside
// the guard, in a fraction of the time: the points of one column are found
// by searching x, and since mapping is monotone, the lowest and highest
// rows are those of the largest and smallest value. The result is the same
// as that of the general path; false (nothing built) where the case does
// not apply.
bool TCurvePath::BuildSortedColumns(const TCurve& curve, const TPixelMapping& mapping)
{
    const std::vector<TCurvePoint>& points = curve.Points;
    const std::size_t count = points.size();
    if (count == 0 || !(mapping.XScale > 0))
        return false;
    const auto column = [&](std::size_t i) {
        return mapping.XBase + RoundHalfEven((points[i].X + curve.XOffset - mapping.XMin) * mapping.XScale);
    };
    const auto row = [&](double y) {
        return mapping.YBase - RoundHalfEven((y + curve.YOffset - mapping.YMin) * mapping.YScale);
    };
    if (!InsideGuard(column(0), 0) || !InsideGuard(column(count - 1), 0))
        return false;

    for (std::size_t first = 0; first < count;) {
        const double x = column(first);
        // The column ends before `end`: gallop, then bisect. This assumes x
        // ascending, which the scan below checks on the way.
        std::size_t inside = first;
        std::size_t end = first + 1;
        for (std::size_t step = 1; end < count && column(end) == x; step *= 2) {
            inside = end;
            end = std::min(count, end + step);
        }
        while (end - inside > 1) {
            const std::size_t middle = inside + (end - inside) / 2;
            (column(middle) == x ? inside : end) = middle;
        }

        // Two of each running value halve the length of their dependency
        // chains. A comparison with a not-a-number is false, which
        // `numbers` catches.
        double low[2] = {points[first].Y, points[first].Y};
        double high[2] = {low[0], low[0]};
        bool numbers = true;
        bool ascending = end == count || points[end - 1].X <= points[end].X;
        std::size_t i = first;
        for (; i + 1 < end; i += 2) {
            const double a = points[i].Y;
            const double b = points[i + 1].Y;
            low[0] = a < low[0] ? a : low[0];
            high[0] = a > high[0] ? a : high[0];
            low[1] = b < low[1] ? b : low[1];
            high[1] = b > high[1] ? b : high[1];
            numbers &= (a == a) & (b == b);
            ascending &= (points[i].X <= points[i + 1].X) & (i + 2 == end || points[i + 1].X <= points[i + 2].X);
        }
        if (i < end) {
            const double a = points[i].Y;
            low[0] = a < low[0] ? a : low[0];
            high[0] = a > high[0] ? a : high[0];
            numbers &= a == a;
        }
        const double topRow = row(std::max(high[0], high[1]));
        const double bottomRow = row(std::min(low[0], low[1]));
        const double lowRow = std::min(topRow, bottomRow);
        const double highRow = std::max(topRow, bottomRow);
        if (!ascending || !numbers || !InsideGuard(0, lowRow) || !InsideGuard(0, highRow))
            return false;

        if (end == count) {
            // The last column decides its last pixel point by point.
            for (std::size_t i = first; i < end; ++i)
                AddVertex(int(x), int(row(points[i].Y)));
        } else {
            column_ = {true, int(x), int(row(points[first].Y)), int(lowRow), int(highRow), int(row(points[end - 1].Y)), false};
            FlushColumn(false);
        }
        first = end;
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
