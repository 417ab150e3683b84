#pragma once

#include "spectrum/WavelengthCalibration.h"

#include <vector>

// A known line seen at a pixel: the pixel (fractional, the peak's centre)
// and the line's wavelength in nm.
struct TCalibrationPair {
    double Pixel;
    double Wavelength;
};

struct TCalibrationFit {
    TWavelengthCalibration Calibration;
    // Per pair, in the given order: known minus fitted wavelength, in nm.
    std::vector<double> Residuals;
    // Root mean square of the residuals, in nm.
    double Rms;
};

// Least-squares polynomial of the given order through the pairs. Raises
// ESpectrum, saying why, for an order outside 1..3, fewer pairs than
// order + 1, a pixel or wavelength that is not a finite number, two pairs on
// the same pixel, and a result that does not strictly rise or fall over
// firstPixel..lastPixel (the sensor's pixels).
TCalibrationFit FitCalibration(const std::vector<TCalibrationPair>& pairs, int order, double firstPixel,
                               double lastPixel);
