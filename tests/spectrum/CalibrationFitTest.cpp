#include "spectrum/CalibrationFit.h"
#include "spectrum/SpectrumErrors.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

const TWavelengthCalibration Cubic({344.0, 0.98, -3.0e-4, 2.0e-7});

std::vector<TCalibrationPair> PairsOn(const TWavelengthCalibration& truth, std::vector<double> pixels)
{
    std::vector<TCalibrationPair> pairs;
    for (const double p : pixels)
        pairs.push_back({p, truth.Wavelength(p)});
    return pairs;
}

TEST(CalibrationFit, RecoversThePolynomialAndReportsResiduals)
{
    const auto pairs = PairsOn(Cubic, {20.3, 80.7, 150.1, 222.9, 301.4, 377.0, 450.6, 505.2});
    const TCalibrationFit cubic = FitCalibration(pairs, 3, 6, 512);
    ASSERT_EQ(cubic.Calibration.Order(), 3);
    for (double p = 6; p <= 512; p += 0.5)
        EXPECT_NEAR(cubic.Calibration.Wavelength(p), Cubic.Wavelength(p), 1e-9) << p;
    EXPECT_LT(cubic.Rms, 1e-9);
    EXPECT_EQ(cubic.Calibration.Rms(), cubic.Rms);
    ASSERT_EQ(cubic.Residuals.size(), pairs.size());

    // A straight line cannot follow the cubic: a visibly larger RMS, and the
    // residuals are known minus fitted.
    const TCalibrationFit line = FitCalibration(pairs, 1, 6, 512);
    EXPECT_GT(line.Rms, 0.5);
    double squares = 0;
    for (size_t i = 0; i < pairs.size(); ++i) {
        EXPECT_NEAR(line.Residuals[i], pairs[i].Wavelength - line.Calibration.Wavelength(pairs[i].Pixel), 1e-9);
        squares += line.Residuals[i] * line.Residuals[i];
    }
    EXPECT_NEAR(line.Rms, std::sqrt(squares / pairs.size()), 1e-12);

    // Thousands of pixels stay well conditioned.
    const TWavelengthCalibration wide({200.0, 0.25, -4.0e-6, 3.0e-10});
    const TCalibrationFit big = FitCalibration(PairsOn(wide, {10, 700, 1500, 2200, 3000, 3640}), 3, 0, 3647);
    EXPECT_NEAR(big.Calibration.Wavelength(3647), wide.Wavelength(3647), 1e-7);
}

TEST(CalibrationFit, RefusesWithAReason)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        std::vector<TCalibrationPair> Pairs;
        int Order;
        const char* Reason;
    } cases[] = {
        {{{10, 400}, {200, 500}, {400, 600}}, 3, "needs at least 4 paired lines, not 3"},
        {{{10, 400}}, 1, "needs at least 2"},
        {{{10, 400}, {200, 500}, {10, 410}}, 1, "same pixel 10"},
        {{{10, 400}, {nan, 500}, {300, 600}}, 1, "not a finite number"},
        {{{10, 400}, {200, 500}}, 0, "must be 1, 2 or 3"},
        {{{10, 400}, {200, 500}, {300, 600}, {400, 700}, {500, 800}}, 4, "must be 1, 2 or 3"},
        // Through these a parabola turns back inside the sensor.
        {{{10, 400}, {250, 600}, {500, 400}}, 2, "would not rise or fall steadily over pixels 6 to 512"},
    };
    for (const Case& c : cases) {
        try {
            FitCalibration(c.Pairs, c.Order, 6, 512);
            ADD_FAILURE() << c.Reason;
        } catch (const ESpectrum& error) {
            EXPECT_THAT(error.what(), testing::HasSubstr(c.Reason));
        }
    }
}

TEST(WavelengthCalibration, InverseAndMonotonicity)
{
    for (const double p : {6.0, 6.25, 100.5, 333.3, 511.99, 512.0})
        EXPECT_NEAR(Cubic.Pixel(Cubic.Wavelength(p), 6, 512), p, 1e-9) << p;
    // Beyond the range it follows the end's dispersion.
    EXPECT_NEAR(Cubic.Pixel(Cubic.Wavelength(6) - 2 * Cubic.Dispersion(6), 6, 512), 4.0, 1e-9);
    const TWavelengthCalibration falling({800, -0.9});
    EXPECT_NEAR(falling.Pixel(620, 6, 512), 200, 1e-9);
    EXPECT_NEAR(falling.Pixel(900, 6, 512), -100 / 0.9, 1e-9);

    struct Case {
        std::vector<double> Coefficients;
        bool Monotonic;
    } cases[] = {
        {{344.0, 0.98, -3.0e-4, 2.0e-7}, true},
        {{800, -0.9}, true},
        {{400, 1, -0.001}, true},       // turns at 500, outside 6..450
        {{400, 1, -0.002}, false},      // turns at 250
        {{400, 0.1, -0.001, 1e-6}, false}, // dips below zero in between
        {{400, 0}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TWavelengthCalibration(c.Coefficients).IsMonotonic(6, 450), c.Monotonic) << c.Coefficients[2];
    EXPECT_THROW(TWavelengthCalibration({1.0}), ESpectrum);
    EXPECT_THROW(TWavelengthCalibration({1.0, std::numeric_limits<double>::infinity()}), ESpectrum);
}

} // namespace
