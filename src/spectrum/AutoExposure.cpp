#include "spectrum/AutoExposure.h"

#include <algorithm>
#include <cmath>

namespace {
// The largest change of exposure in one frame, either way.
constexpr double Step = 8.0;
} // namespace

void TAutoExposure::SetLimits(int minimum, int maximum)
{
    minimum_ = std::max(1, std::min(minimum, maximum));
    maximum_ = std::max(minimum_, std::max(minimum, maximum));
}

int TAutoExposure::Next(int exposure, double peak, double fullScale)
{
    const int current = std::clamp(exposure, minimum_, maximum_);
    const double share = peak / fullScale;
    if (share >= LowShare && share <= HighShare && current == exposure) {
        last_ = TSample{exposure, peak};
        return exposure;
    }
    double wanted;
    const double target = TargetShare * fullScale;
    if (share >= 1.0) {
        wanted = exposure / Step;
        last_.reset();
    } else {
        // The slope through the last two frames, or through the origin.
        double slope = peak / std::max(exposure, 1);
        if (last_ && last_->Exposure != exposure) {
            const double secant = (peak - last_->Peak) / double(exposure - last_->Exposure);
            if (secant > 0.0)
                slope = secant;
        }
        // At most Step times longer at once: a frame with almost no light
        // says little about how much exposure gives enough.
        wanted = slope > 0.0 ? exposure + (target - peak) / slope : exposure * Step;
        wanted = std::min(wanted, exposure * Step);
        last_ = TSample{exposure, peak};
    }
    return int(std::clamp(std::lround(wanted), long(minimum_), long(maximum_)));
}
