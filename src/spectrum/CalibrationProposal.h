#pragma once

#include "spectrum/CalibrationFit.h"
#include "spectrum/PeakFinder.h"
#include "spectrum/ReferenceLines.h"

#include <span>
#include <vector>

// A calibration lamp's spectrum as found: its peaks and, per peak, the line
// it is taken to be. The starting point an operator reviews.
struct TCalibrationProposal {
    double FirstPixel = 0; // the pixel of the curve's first sample
    std::vector<TPeak> Peaks;
    // Per peak: the index of its line in the lamp's list, or -1.
    std::vector<int> Lines;

    double PeakPixel(size_t peak) const { return FirstPixel + Peaks[peak].Centre; }
    // The (pixel, wavelength) pairs of the paired peaks, in peak order.
    std::vector<TCalibrationPair> Pairs(const std::vector<TReferenceLine>& lines) const;
};

// Finds the curve's peaks (the pixel of sample i being firstPixel + i) and
// suggests their lines from the order and spacing of the peaks.
TCalibrationProposal ProposeCalibration(std::span<const double> curve, double firstPixel,
                                        const std::vector<TReferenceLine>& lines, const TPeakOptions& options);
