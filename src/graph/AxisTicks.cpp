#include "graph/Axis.h"

#include "graph/Rounding.h"

std::vector<TAxisTick> TAxis::LayoutTicks()
{
    panSubTicks_ = subTickPixels_ == 0.0 ? 0 : RoundToPixel(panPixels_ / subTickPixels_);

    // A pan of a whole main-tick distance or more is folded into the range:
    // the range moves by one main step and the pan loses its whole tick
    // spacings.
    const bool upward = panPixels_ > 0;
    if (upward ? panSubTicks_ >= subTicks_ : panSubTicks_ <= -subTicks_) {
        panPixels_ = SaturateToPixel(double(panPixels_) - RoundHalfEven(panSubTicks_ * subTickPixels_));
        panSubTicks_ = 0;
        if (upward)
            MoveRange(min_ - mainStep_, max_ - mainStep_);
        else
            MoveRange(min_ + mainStep_, max_ + mainStep_);
    }

    std::vector<TAxisTick> ticks;
    ticks.reserve(std::size_t(subTickCount_) + 1);
    const int first = upward ? -panSubTicks_ : subTickCount_ - panSubTicks_;
    const int step = upward ? 1 : -1;
    int mainCount = 0;
    for (int i = first, n = 0; n <= subTickCount_; i += step, ++n) {
        TAxisTick tick;
        tick.Offset = SaturateToPixel(RoundHalfEven(i * subTickPixels_) + panPixels_);
        tick.Main = i % subTicks_ == 0;
        if (tick.Main) {
            tick.Value = upward ? min_ + mainCount * mainStep_ : max_ - mainCount * mainStep_;
            ++mainCount;
        }
        ticks.push_back(tick);
    }
    return ticks;
}
