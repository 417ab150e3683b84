#include "spectrum/WavelengthCalibration.h"

#include "spectrum/SpectrumErrors.h"

#include <algorithm>
#include <utility>

TWavelengthCalibration::TWavelengthCalibration(std::vector<double> coefficients, double rms)
    : coefficients_(std::move(coefficients)), rms_(rms)
{
    const int order = Order();
    if (order < MinOrder || order > MaxOrder)
        throw ESpectrum("A wavelength calibration needs two to four coefficients (order 1 to 3)");
    if (!std::all_of(coefficients_.begin(), coefficients_.end(), [](double a) { return std::isfinite(a); }))
        throw ESpectrum("A wavelength calibration coefficient is not a finite number");
}

double TWavelengthCalibration::Wavelength(double pixel) const
{
    double value = 0.0;
    for (auto a = coefficients_.rbegin(); a != coefficients_.rend(); ++a)
        value = value * pixel + *a;
    return value;
}

double TWavelengthCalibration::Dispersion(double pixel) const
{
    double value = 0.0;
    for (int power = Order(); power >= 1; --power)
        value = value * pixel + power * coefficients_[static_cast<size_t>(power)];
    return value;
}

bool TWavelengthCalibration::IsMonotonic(double firstPixel, double lastPixel) const
{
    if (!(firstPixel < lastPixel))
        return false;
    // The dispersion is at most quadratic: it keeps one sign over the range
    // when it does at both ends and at its turning point, if that is inside.
    std::vector<double> probes{firstPixel, lastPixel};
    if (Order() == 3) {
        const double turn = -coefficients_[2] / (3.0 * coefficients_[3]);
        if (turn > firstPixel && turn < lastPixel)
            probes.push_back(turn);
    }
    const double sign = Dispersion(firstPixel);
    return std::all_of(probes.begin(), probes.end(), [&](double p) {
        const double d = Dispersion(p);
        return std::isfinite(d) && d != 0.0 && (d > 0) == (sign > 0);
    });
}

double TWavelengthCalibration::Pixel(double wavelength, double firstPixel, double lastPixel) const
{
    const double first = Wavelength(firstPixel);
    const double last = Wavelength(lastPixel);
    const bool rising = last > first;
    if (rising ? wavelength <= first : wavelength >= first)
        return firstPixel + (wavelength - first) / Dispersion(firstPixel);
    if (rising ? wavelength >= last : wavelength <= last)
        return lastPixel + (wavelength - last) / Dispersion(lastPixel);
    // Bisection: certain on a monotonic polynomial and fast enough for a
    // read-out (60 halvings reach a double's resolution).
    double low = firstPixel;
    double high = lastPixel;
    for (int step = 0; step < 60 && low < high; ++step) {
        const double middle = 0.5 * (low + high);
        if ((Wavelength(middle) < wavelength) == rising)
            low = middle;
        else
            high = middle;
    }
    return 0.5 * (low + high);
}
