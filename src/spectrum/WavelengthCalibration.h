#pragma once

#include <cmath>
#include <limits>
#include <vector>

// Pixel -> wavelength (nm) as a polynomial of order 1 to 3:
//   wavelength = a0 + a1 p + a2 p^2 + a3 p^3
// with the pixel numbered as the frame's fields are (6 to 512 on the usual
// sensor). It is only meaningful where it is strictly monotonic, which the
// fit checks over the sensor's pixel range.
class TWavelengthCalibration {
public:
    static constexpr int MinOrder = 1;
    static constexpr int MaxOrder = 3;

    // a0, a1, ... : two to four finite coefficients; raises ESpectrum
    // otherwise. `rms` is the fit's RMS residual in nm, NaN when not known.
    explicit TWavelengthCalibration(std::vector<double> coefficients,
                                    double rms = std::numeric_limits<double>::quiet_NaN());

    int Order() const { return static_cast<int>(coefficients_.size()) - 1; }
    const std::vector<double>& Coefficients() const { return coefficients_; }
    double Rms() const { return rms_; }

    double Wavelength(double pixel) const;
    // dWavelength/dPixel at the pixel: the dispersion in nm per pixel.
    double Dispersion(double pixel) const;
    // True when the wavelength strictly rises or strictly falls from
    // firstPixel to lastPixel.
    bool IsMonotonic(double firstPixel, double lastPixel) const;
    // The pixel whose wavelength this is, for a calibration monotonic over
    // [firstPixel, lastPixel]: found within the range; beyond its ends the
    // straight line of the end's dispersion is followed, so the answer is
    // always finite for a finite wavelength.
    double Pixel(double wavelength, double firstPixel, double lastPixel) const;

private:
    std::vector<double> coefficients_;
    double rms_;
};
