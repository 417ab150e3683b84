#pragma once

#include <limits>
#include <span>
#include <vector>

struct TPeakOptions {
    // The peaks point down (the window draws a line sensor as 256 - reading):
    // minima are found, heights measured downwards.
    bool PeaksDown = false;
    // The baseline at a sample is the lower quartile of this many samples
    // around it: several times wider than a line.
    int BaselineWindow = 41;
    // A peak must stand this far above the curve's baseline.
    // NaN: six times the noise measured on the curve, at least 1.
    double MinHeight = std::numeric_limits<double>::quiet_NaN();
    // ... and this far above the higher of the lowest points between it and
    // a higher peak (or the curve's end) on either side. NaN: as MinHeight.
    double MinProminence = std::numeric_limits<double>::quiet_NaN();
};

struct TPeak {
    // Index of the sample at the top, and the centre to a fraction of a
    // sample: a Gaussian fitted to the samples above a quarter of the
    // height (three samples at least; a parabola through the top three where
    // they are not all above the baseline).
    int Index;
    double Centre;
    // Above the baseline, at the fitted top (positive also for PeaksDown).
    double Height;
    double Prominence;
    // Full width at half the height above the baseline, in samples; NaN
    // when the curve ends before it falls to half.
    double Fwhm;
};

// The peaks of the curve in sample order. Non-finite samples are treated as
// the baseline. Never returns a non-finite centre or height.
std::vector<TPeak> FindPeaks(std::span<const double> values, const TPeakOptions& options = {});

// The noise of a curve: a robust standard deviation of its sample-to-sample
// differences, which lines barely change.
double CurveNoise(std::span<const double> values);
