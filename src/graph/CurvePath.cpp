#include "graph/CurvePath.h"

#include "graph/Rounding.h"

#include <algorithm>
#include <cmath>

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
    vertices_.clear();
    runLengths_.clear();
    column_.clear();
    runStart_ = 0;

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

void TCurvePath::AddVertex(int x, int y)
{
    if (!reduceColumns_) {
        vertices_.emplace_back(x, y);
        return;
    }
    if (!column_.empty() && column_.front().x() != x)
        FlushColumn(false);
    column_.emplace_back(x, y);
}

// Emits the points collected for one column. The last column of a run is
// kept whole: whether its final pixel is drawn depends on every point in
// it. Any other column is cut to first, lowest, highest and last, in their
// order; the segment leaving the column covers its last pixel either way.
void TCurvePath::FlushColumn(bool runEnds)
{
    if (runEnds || column_.size() <= 4) {
        vertices_.insert(vertices_.end(), column_.begin(), column_.end());
    } else {
        std::size_t lowest = 0;
        std::size_t highest = 0;
        for (std::size_t i = 1; i < column_.size(); ++i) {
            if (column_[i].y() < column_[lowest].y())
                lowest = i;
            if (column_[i].y() > column_[highest].y())
                highest = i;
        }
        const std::size_t last = column_.size() - 1;
        const std::size_t keep[4] = {0, std::min(lowest, highest), std::max(lowest, highest), last};
        for (std::size_t k = 0; k < 4; ++k)
            if (k == 0 || keep[k] != keep[k - 1])
                vertices_.push_back(column_[keep[k]]);
    }
    column_.clear();
}

void TCurvePath::EndRun()
{
    if (!column_.empty())
        FlushColumn(true);
    const std::size_t length = vertices_.size() - runStart_;
    if (length >= 2)
        runLengths_.push_back(int(length));
    else
        vertices_.resize(runStart_);
    runStart_ = vertices_.size();
}
