#pragma once

#include <optional>

// Steers the exposure so the brightest pixel settles between 70 % and 85 %
// of full scale, never leaving the operator's limits.
//
// The peak is taken to grow in a straight line with the exposure, from a
// dark level the controller does not know: the first step scales the
// exposure in proportion, later ones go through the last two frames
// (secant), which lands within a step or two on a linear sensor. A
// saturated frame says only "too much": the exposure drops eightfold.
class TAutoExposure {
public:
    static constexpr double LowShare = 0.70;
    static constexpr double HighShare = 0.85;
    static constexpr double TargetShare = (LowShare + HighShare) / 2;

    // 1 <= minimum <= maximum; others are put in order and raised to 1.
    void SetLimits(int minimum, int maximum);
    int Minimum() const { return minimum_; }
    int Maximum() const { return maximum_; }

    // The exposure for the next frame, given the exposure the last frame
    // was taken with and its peak; `exposure` when it is in the band. A
    // change of exposure forgets the frames before, a frame that is not
    // from the exposure last asked for is not used for the slope.
    int Next(int exposure, double peak, double fullScale);
    // Forget the history, as after the operator set the exposure by hand.
    void Restart() { last_.reset(); }

private:
    struct TSample {
        int Exposure;
        double Peak;
    };

    int minimum_ = 1;
    int maximum_ = 65535;
    std::optional<TSample> last_;
};
