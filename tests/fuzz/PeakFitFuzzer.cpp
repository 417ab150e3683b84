// The peak finder, the pairing suggestion and the calibration fit on any
// curve: no crash, nothing that is not a number out of finite input, a
// centre inside the curve, a fit either refused with a reason or finite.
//
// Input: a byte choosing the direction of the peaks and the fit's order,
// then the curve as 16-bit samples, each scaled by 2^(its low byte % 64 - 32)
// so that tiny, ordinary and huge values all come.
#include "FuzzCheck.h"

#include "spectrum/CalibrationFit.h"
#include "spectrum/LinePairing.h"
#include "spectrum/PeakFinder.h"
#include "spectrum/SpectrumErrors.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const bool down = data[0] & 1;
    const int order = 1 + (data[0] >> 1) % 3;
    std::vector<double> curve;
    for (std::size_t i = 1; i + 1 < size; i += 2) {
        std::int16_t sample;
        std::memcpy(&sample, data + i, 2);
        curve.push_back(std::ldexp(static_cast<double>(sample), (data[i] % 64) - 32));
    }

    const std::vector<TPeak> peaks = FindPeaks(curve, {.PeaksDown = down});
    std::vector<TPeakSeen> seen;
    std::vector<TCalibrationPair> pairs;
    for (const TPeak& peak : peaks) {
        Require(std::isfinite(peak.Centre) && std::isfinite(peak.Height) && std::isfinite(peak.Prominence),
                "a peak's centre, height and prominence are finite");
        Require(peak.Centre >= 0 && peak.Centre <= static_cast<double>(curve.size() - 1),
                "a peak's centre lies on the curve");
        Require(std::abs(peak.Centre - peak.Index) <= 1.0, "a peak's centre is near its top sample");
        Require(std::isnan(peak.Fwhm) || peak.Fwhm >= 0, "a width is positive or unknown");
        seen.push_back({6 + peak.Centre, peak.Height, peak.Fwhm});
        pairs.push_back({6 + peak.Centre, 350 + std::fmod(std::abs(peak.Height), 500)});
    }
    const std::vector<int> lines = SuggestPairings(seen, ReferenceLines(TLamp::Fluorescent));
    Require(lines.size() == seen.size(), "one suggestion per peak");
    for (const int line : lines)
        Require(line >= -1 && line < static_cast<int>(ReferenceLines(TLamp::Fluorescent).size()),
                "a suggestion names a line of the list or none");

    try {
        const TCalibrationFit fit = FitCalibration(pairs, order, 6, 512);
        Require(std::isfinite(fit.Rms) && fit.Residuals.size() == pairs.size(), "a fit has a finite RMS");
        for (const double a : fit.Calibration.Coefficients())
            Require(std::isfinite(a), "a fit's coefficients are finite");
        for (const double residual : fit.Residuals)
            Require(std::isfinite(residual), "a fit's residuals are finite");
        const double middle = fit.Calibration.Wavelength(259);
        Require(std::isfinite(fit.Calibration.Pixel(middle, 6, 512)), "the inverse is finite");
    } catch (const ESpectrum&) {
    }
    return 0;
}
