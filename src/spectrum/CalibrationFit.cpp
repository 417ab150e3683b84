#include "spectrum/CalibrationFit.h"

#include "spectrum/DecimalNumbers.h"
#include "spectrum/SpectrumErrors.h"

#include <Eigen/Dense>

#include <algorithm>
#include <cmath>
#include <string>

namespace {

void CheckPairs(const std::vector<TCalibrationPair>& pairs, int order)
{
    if (order < TWavelengthCalibration::MinOrder || order > TWavelengthCalibration::MaxOrder)
        throw ESpectrum("The order of a wavelength calibration must be 1, 2 or 3, not " + std::to_string(order));
    if (pairs.size() < static_cast<size_t>(order) + 1)
        throw ESpectrum("A calibration of order " + std::to_string(order) + " needs at least "
                        + std::to_string(order + 1) + " paired lines, not " + std::to_string(pairs.size()));
    for (const TCalibrationPair& pair : pairs)
        if (!std::isfinite(pair.Pixel) || !std::isfinite(pair.Wavelength))
            throw ESpectrum("A paired line's pixel or wavelength is not a finite number");
    std::vector<double> pixels;
    for (const TCalibrationPair& pair : pairs)
        pixels.push_back(pair.Pixel);
    std::sort(pixels.begin(), pixels.end());
    if (const auto same = std::adjacent_find(pixels.begin(), pixels.end()); same != pixels.end())
        throw ESpectrum("Two lines are paired with the same pixel " + DecimalText(*same, 6)
                        + "; pair each peak with one line");
}

} // namespace

TCalibrationFit FitCalibration(const std::vector<TCalibrationPair>& pairs, int order, double firstPixel,
                               double lastPixel)
{
    CheckPairs(pairs, order);

    // Fitted in t = (p - centre) / half, which keeps the powers near 1 and
    // the solve well conditioned for sensors of thousands of pixels.
    double low = pairs.front().Pixel, high = low;
    for (const TCalibrationPair& pair : pairs) {
        low = std::min(low, pair.Pixel);
        high = std::max(high, pair.Pixel);
    }
    const double centre = 0.5 * (low + high);
    const double half = std::max(0.5 * (high - low), 1.0);

    const auto rows = static_cast<Eigen::Index>(pairs.size());
    Eigen::MatrixXd design(rows, order + 1);
    Eigen::VectorXd known(rows);
    for (Eigen::Index i = 0; i < rows; ++i) {
        const double t = (pairs[static_cast<size_t>(i)].Pixel - centre) / half;
        double power = 1.0;
        for (int k = 0; k <= order; ++k, power *= t)
            design(i, k) = power;
        known(i) = pairs[static_cast<size_t>(i)].Wavelength;
    }
    const Eigen::VectorXd scaled = design.colPivHouseholderQr().solve(known);

    // Back to powers of p: t^k = sum_j C(k, j) p^j (-centre)^(k-j) / half^k.
    std::vector<double> coefficients(static_cast<size_t>(order) + 1, 0.0);
    for (int k = 0; k <= order; ++k) {
        double binomial = 1.0;
        for (int j = 0; j <= k; ++j) {
            coefficients[static_cast<size_t>(j)] +=
                scaled(k) * binomial * std::pow(-centre, k - j) / std::pow(half, k);
            binomial = binomial * (k - j) / (j + 1);
        }
    }
    if (!std::all_of(coefficients.begin(), coefficients.end(), [](double a) { return std::isfinite(a); }))
        throw ESpectrum("The paired lines do not determine a calibration of order " + std::to_string(order)
                        + "; choose a lower order or pair more lines");

    TWavelengthCalibration trial(coefficients);
    if (!trial.IsMonotonic(firstPixel, lastPixel))
        throw ESpectrum("The calibration would not rise or fall steadily over pixels " + DecimalText(firstPixel, 6)
                        + " to " + DecimalText(lastPixel, 6) + "; check the pairings or choose a lower order");

    std::vector<double> residuals;
    double squares = 0.0;
    for (const TCalibrationPair& pair : pairs) {
        residuals.push_back(pair.Wavelength - trial.Wavelength(pair.Pixel));
        squares += residuals.back() * residuals.back();
    }
    const double rms = std::sqrt(squares / static_cast<double>(pairs.size()));
    return {TWavelengthCalibration(std::move(coefficients), rms), std::move(residuals), rms};
}
