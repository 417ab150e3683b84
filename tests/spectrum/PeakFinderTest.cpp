#include "spectrum/PeakFinder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace {

struct Line {
    double Centre;
    double Sigma;
    double Height;
};

std::vector<double> Curve(size_t size, double base, const std::vector<Line>& lines, double noise, bool down)
{
    std::mt19937 random(7);
    std::normal_distribution<double> jitter(0.0, noise);
    std::vector<double> values;
    for (size_t i = 0; i < size; ++i) {
        double v = 0;
        for (const Line& line : lines)
            v += line.Height * std::exp(-0.5 * std::pow((i - line.Centre) / line.Sigma, 2));
        v += noise > 0 ? jitter(random) : 0.0;
        values.push_back(down ? base - v : base + v);
    }
    return values;
}

TEST(PeakFinder, FindsCentresHeightsAndWidthsUpAndDown)
{
    const std::vector<Line> lines{{40.3, 1.2, 150}, {95.77, 2.0, 60}, {160.5, 1.0, 100}, {230.1, 3.0, 30}};
    for (const bool down : {false, true}) {
        const std::vector<double> curve = Curve(300, down ? 240 : 14, lines, 0, down);
        const std::vector<TPeak> peaks = FindPeaks(curve, {.PeaksDown = down});
        ASSERT_EQ(peaks.size(), lines.size()) << down;
        for (size_t i = 0; i < lines.size(); ++i) {
            EXPECT_NEAR(peaks[i].Centre, lines[i].Centre, 0.02) << i;
            EXPECT_NEAR(peaks[i].Height, lines[i].Height, 0.03 * lines[i].Height) << i;
            EXPECT_NEAR(peaks[i].Fwhm, 2.3548 * lines[i].Sigma, 0.1 * lines[i].Sigma + 0.1) << i;
            EXPECT_LE(std::abs(peaks[i].Index - lines[i].Centre), 0.5) << i;
        }
    }
}

TEST(PeakFinder, ThresholdsNoiseAndOddCurves)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // Flat frames with read-out noise: nothing at the default threshold.
    for (const double noise : {0.5, 1.5, 4.0})
        EXPECT_TRUE(FindPeaks(Curve(507, 240, {}, noise, true), {.PeaksDown = true}).empty()) << noise;
    EXPECT_NEAR(CurveNoise(Curve(5000, 0, {}, 1.5, false)), 1.5, 0.1);

    // A peak below the chosen height, and one without the prominence.
    const std::vector<double> two = Curve(200, 0, {{50, 2, 10}, {120, 2, 40}}, 0, false);
    EXPECT_EQ(FindPeaks(two, {.MinHeight = 20}).size(), 1u);
    EXPECT_EQ(FindPeaks(two, {.MinHeight = 5, .MinProminence = 50}).size(), 0u);

    struct Case {
        std::vector<double> Values;
        std::vector<double> Centres;
    } cases[] = {
        {{0, 0, 5, 5, 0, 0}, {2.5}},            // two equal samples: between them
        {{0, 0, 5, 5, 5, 0, 0}, {3}},           // flat top: its middle
        {{0, 0, 0, 0, 1, 5, 5, 5, 5, 1, 0, 0, 0}, {6.5}},
        {{9, 5, 0, 0, 0, 0, 0}, {}},            // the ends are no peaks
        {{0, 0, 3, nan, 3, 0, 0, 0}, {2, 4}},   // a gap is the baseline
        {{}, {}},
        {{0, 0, -1e308, 1e308, -1e308, 0, 0}, {3}},
    };
    for (const Case& c : cases) {
        const std::vector<TPeak> peaks = FindPeaks(c.Values, {.MinHeight = 1});
        ASSERT_EQ(peaks.size(), c.Centres.size()) << c.Values.size();
        for (size_t i = 0; i < peaks.size(); ++i) {
            EXPECT_NEAR(peaks[i].Centre, c.Centres[i], 1e-9);
            EXPECT_TRUE(std::isfinite(peaks[i].Height));
        }
    }
}

} // namespace
