#pragma once

#include "graph/CurvePoint.h"
#include "graph/Rounding.h"

#include <cstddef>
#include <vector>

// The part of the mapping to pixels that decides a point's column:
//   column = XBase + round((x + XOffset - XMin) * XScale)
// XBase, the plot's left edge plus the pan, only shifts every column alike.
struct TColumnMapping {
    double XMin = 0.0;
    double XScale = 1.0;
    double XOffset = 0.0;

    double Column(double x) const { return RoundHalfEven((x + XOffset - XMin) * XScale); }
    bool operator==(const TColumnMapping&) const = default;
};

// A run of consecutive points in one pixel column: its column without
// XBase, and the first, lowest, highest and last raw Y of its points.
struct TColumnSpan {
    double Column = 0.0;
    double First = 0.0;
    double Lowest = 0.0;
    double Highest = 0.0;
    double Last = 0.0;
};

// A curve's points summarised per pixel column, so that a long curve is
// drawn from a few values per column instead of from every point. Every
// run of consecutive points in one column is a span, except the last run,
// which stays open: it is the points from OpenStart on, and points appended
// later may continue it. Only the X mapping decides the spans: they stay
// valid while the view moves up or down or sideways by whole pixels, and
// the Y values are mapped when drawing.
class TCurveColumns {
public:
    // Points appended one by one are best taken in a batch at a time, while
    // the batch is still in the cache.
    static constexpr std::size_t BatchSize = 1024;
    // Counts an appended point: true after every BatchSize of them.
    bool BatchAppended()
    {
        if (--untilBatch_ != 0)
            return false;
        untilBatch_ = BatchSize;
        return true;
    }

    // Brings the summary up to date with `points` under `mapping`: built
    // anew when the mapping or the points changed other than by appending,
    // otherwise extended over the points appended since.
    void Update(const std::vector<TCurvePoint>& points, const TColumnMapping& mapping);
    // The points changed other than by appending.
    void Invalidate() { valid_ = false; }

    // False when the points are better drawn one by one: one of them is not
    // a number or infinite, or there are too many columns for few points.
    bool Usable() const { return usable_; }
    // The runs before the open one.
    const std::vector<TColumnSpan>& Spans() const { return spans_; }
    std::size_t OpenStart() const { return openStart_; }

private:
    std::size_t RunEnd(const TCurvePoint* points, std::size_t first, std::size_t count, double column,
                       std::size_t expected) const;
    void Restart(const TColumnMapping& mapping);
    void GiveUp();

    TColumnMapping mapping_;
    std::vector<TColumnSpan> spans_;
    std::size_t openStart_ = 0;
    std::size_t lastRunLength_ = 1;
    std::size_t untilBatch_ = BatchSize;
    bool valid_ = false;
    bool usable_ = true;
};
