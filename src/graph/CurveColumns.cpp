#include "graph/CurveColumns.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Summarising pays when columns hold several points each; past this many
// spans, a curve with fewer points per span is drawn point by point.
constexpr std::size_t SpansKeptAlways = 4096;
constexpr std::size_t PointsPerSpanAtLeast = 4;

// A point's X and Y, worked on together.
using TPair = double __attribute__((vector_size(16)));
static_assert(sizeof(TPair) == sizeof(TCurvePoint));

TPair Load(const TCurvePoint& point)
{
    TPair pair;
    std::memcpy(&pair, &point, sizeof pair);
    return pair;
}

// The smallest and largest X and Y of some points, and whether all of them
// are finite.
struct TExtremes {
    double LowX;
    double HighX;
    double LowY;
    double HighY;
    bool Finite;
};

// One pass over points [first, end), first < end: every point is one load.
// Four of each running value shorten the dependency chains; a - a is 0 for
// a finite a and not a number otherwise, so the sum of them tells whether
// every value was finite.
TExtremes Extremes(const TCurvePoint* points, std::size_t first, std::size_t end)
{
    constexpr std::size_t Lanes = 4;
    const TPair start = Load(points[first]);
    TPair low[Lanes] = {start, start, start, start};
    TPair high[Lanes] = {start, start, start, start};
    TPair probe[Lanes] = {};
    std::size_t i = first;
    for (; i + Lanes <= end; i += Lanes) {
        for (std::size_t k = 0; k < Lanes; ++k) {
            const TPair a = Load(points[i + k]);
            low[k] = a < low[k] ? a : low[k];
            high[k] = a > high[k] ? a : high[k];
            probe[k] += a - a;
        }
    }
    for (; i < end; ++i) {
        const TPair a = Load(points[i]);
        low[0] = a < low[0] ? a : low[0];
        high[0] = a > high[0] ? a : high[0];
        probe[0] += a - a;
    }
    for (std::size_t k = 1; k < Lanes; ++k) {
        low[0] = low[k] < low[0] ? low[k] : low[0];
        high[0] = high[k] > high[0] ? high[k] : high[0];
        probe[0] += probe[k];
    }
    return {low[0][0], high[0][0], low[0][1], high[0][1], probe[0][0] == 0.0 && probe[0][1] == 0.0};
}

} // namespace

void TCurveColumns::Restart(const TColumnMapping& mapping)
{
    mapping_ = mapping;
    spans_.clear();
    openStart_ = 0;
    lastRunLength_ = 1;
    valid_ = true;
    usable_ = true;
}

void TCurveColumns::GiveUp()
{
    usable_ = false;
    spans_.clear();
}

void TCurveColumns::Update(const std::vector<TCurvePoint>& points, const TColumnMapping& mapping)
{
    if (!valid_ || !(mapping_ == mapping) || openStart_ > points.size())
        Restart(mapping);
    const TCurvePoint* point = points.data();
    const std::size_t count = points.size();
    while (usable_ && openStart_ < count) {
        const std::size_t first = openStart_;
        const double column = mapping_.Column(point[first].X);
        if (!std::isfinite(column)) {
            GiveUp();
            return;
        }
        std::size_t end = RunEnd(point, first, count, column, lastRunLength_);
        if (end == count)
            return;
        TExtremes extremes = Extremes(point, first, end);
        // Column is monotone in x: when the smallest and the largest X fall
        // into the column, so do all points between them.
        if (!extremes.Finite || mapping_.Column(extremes.LowX) != column || mapping_.Column(extremes.HighX) != column) {
            // Not sorted by x here: the run ends where a point leaves it.
            end = first + 1;
            while (end < count && mapping_.Column(point[end].X) == column)
                ++end;
            if (end == count)
                return;
            extremes = Extremes(point, first, end);
        }
        if (!extremes.Finite || (spans_.size() >= SpansKeptAlways && spans_.size() * PointsPerSpanAtLeast > end)) {
            GiveUp();
            return;
        }
        spans_.push_back({column, point[first].Y, extremes.LowY, extremes.HighY, point[end - 1].Y});
        lastRunLength_ = end - first;
        openStart_ = end;
    }
}

// Where the run from `first` ends, if the points are sorted by x; the
// caller checks the run. Evenly spaced points fill their columns alike, so
// the search starts from a run as long as `expected`: an exponential search
// about its last point, then bisection.
std::size_t TCurveColumns::RunEnd(const TCurvePoint* points, std::size_t first, std::size_t count, double column,
                                  std::size_t expected) const
{
    const auto inColumn = [&](std::size_t i) { return mapping_.Column(points[i].X) == column; };
    // points[inside] is in the column; points[end] is not, or end is count.
    std::size_t inside = first;
    std::size_t end = count;
    const std::size_t guess = std::min(first + std::max<std::size_t>(expected, 1), count) - 1;
    if (inColumn(guess)) {
        inside = guess;
        for (std::size_t step = 1; inside + step < count; step *= 2) {
            if (!inColumn(inside + step)) {
                end = inside + step;
                break;
            }
            inside += step;
        }
    } else {
        end = guess;
        for (std::size_t step = 1; end - first > step; step *= 2) {
            if (inColumn(end - step)) {
                inside = end - step;
                break;
            }
            end -= step;
        }
    }
    while (end - inside > 1) {
        const std::size_t middle = inside + (end - inside) / 2;
        (inColumn(middle) ? inside : end) = middle;
    }
    return end;
}
