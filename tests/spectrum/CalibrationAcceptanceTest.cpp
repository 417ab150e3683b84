#include "simulator/LampOptions.h"
#include "spectrum/CalibrationProposal.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The simulator's fluorescent lamp under its default cubic, averaged over
// `frames` frames as the window plots it (256 - reading): what the
// calibration dialog starts from.
std::vector<double> LampCurve(int frames, uint32_t seed, TLamp lamp = TLamp::Fluorescent)
{
    TLampOptions options;
    options.Lamp = lamp;
    const std::vector<TEmissionLine> lines = LampEmissionLines(options, 512);
    TSensorModel sensor(512, seed, {}, lines);
    std::vector<double> sum(507, 0.0);
    std::vector<int> readings;
    for (int frame = 0; frame < frames; ++frame) {
        sensor.Generate(TSensorModel::ReferenceExposure, readings);
        for (size_t i = 0; i < sum.size(); ++i)
            sum[i] += readings[i];
    }
    std::vector<double> curve;
    for (const double s : sum)
        curve.push_back(256 - s / frames);
    return curve;
}

const TWavelengthCalibration Truth({TLampOptions::DefaultCalibration.begin(), TLampOptions::DefaultCalibration.end()});

// The dialog's own path: the frames it averages by default, the peaks it
// finds, the pairings it suggests, the order it starts with.
TEST(CalibrationAcceptance, RecoversEveryPixelFromTheLinesFound)
{
    const std::vector<TReferenceLine>& lines = ReferenceLines(TLamp::Fluorescent);
    for (const uint32_t seed : {1u, 2u, 3u, 4u, 5u, 6u}) {
        const std::vector<double> curve = LampCurve(64, seed);
        const TCalibrationProposal proposal = ProposeCalibration(curve, 6, lines, {.PeaksDown = true});
        const std::vector<TCalibrationPair> pairs = proposal.Pairs(lines);
        ASSERT_GE(pairs.size(), 14u) << seed;
        for (const TCalibrationPair& pair : pairs)
            EXPECT_NEAR(pair.Pixel, Truth.Pixel(pair.Wavelength, 6, 512), 0.2) << seed << ' ' << pair.Wavelength;

        const TCalibrationFit cubic = FitCalibration(pairs, 3, 6, 512);
        double worst = 0;
        for (int pixel = 6; pixel <= 512; ++pixel)
            worst = std::max(worst, std::abs(cubic.Calibration.Wavelength(pixel) - Truth.Wavelength(pixel)));
        EXPECT_LT(worst, 0.1) << seed;
        EXPECT_LT(cubic.Rms, 0.05) << seed;
        EXPECT_GT(FitCalibration(pairs, 1, 6, 512).Rms, 5 * cubic.Rms) << seed;
    }
}

// Every line standing clear of its neighbours and above the threshold is
// found within 0.2 pixel of where the simulator put it; a dark frame (the
// simulator's noise, no lamp lines) gives no peak.
TEST(CalibrationAcceptance, PeaksFoundWhereTheLinesAre)
{
    TLampOptions options;
    options.Lamp = TLamp::Fluorescent;
    const std::vector<TEmissionLine> emitted = LampEmissionLines(options, 512);
    const std::vector<double> curve = LampCurve(16, 9);
    const std::vector<TPeak> peaks = FindPeaks(curve, {.PeaksDown = true});
    const double threshold = std::max(6.0 * CurveNoise(curve), 1.0);
    int checked = 0;
    for (size_t l = 0; l < emitted.size(); ++l) {
        const bool clear = (l == 0 || emitted[l].Pixel - emitted[l - 1].Pixel > 4)
                           && (l + 1 == emitted.size() || emitted[l + 1].Pixel - emitted[l].Pixel > 4);
        if (!clear || emitted[l].Strength * TSensorModel::PeakCountsAtReference < 1.5 * threshold)
            continue;
        double nearest = 1e9;
        for (const TPeak& peak : peaks)
            nearest = std::min(nearest, std::abs(6 + peak.Centre - emitted[l].Pixel));
        EXPECT_LT(nearest, 0.2) << emitted[l].Pixel;
        ++checked;
    }
    EXPECT_GE(checked, 12);

    for (const uint32_t seed : {1u, 2u, 3u}) {
        TSensorModel dark(512, seed, {}, std::span<const TEmissionLine>());
        std::vector<int> readings;
        dark.Generate(TSensorModel::ReferenceExposure, readings);
        std::vector<double> flat;
        for (const int r : readings)
            flat.push_back(256 - r);
        EXPECT_TRUE(FindPeaks(flat, {.PeaksDown = true}).empty()) << seed;
    }
}

} // namespace

namespace {

TEST(LampOptions, ReadsTheLampAndItsCalibration)
{
    TLampOptions options;
    EXPECT_FALSE(ReadLampOption("--seed", "1", options));
    EXPECT_TRUE(ReadLampOption("--lamp", "ne", options));
    EXPECT_EQ(options.Lamp, TLamp::Neon);
    EXPECT_TRUE(ReadLampOption("--calibration", "400,0.5", options));
    EXPECT_EQ(options.Calibration, (std::vector<double>{400, 0.5}));
    // Neon's 533 to 753 nm land on 266.2 to 706.2: fields up to 512 only.
    const std::vector<TEmissionLine> lines = LampEmissionLines(options, 512);
    ASSERT_FALSE(lines.empty());
    EXPECT_NEAR(lines.front().Pixel, (533.07775 - 400) / 0.5, 1e-6);
    EXPECT_LE(lines.back().Pixel, 512);

    for (const auto& [option, value] : std::vector<std::pair<std::string, std::string>>{
             {"--lamp", "xe"}, {"--calibration", "1"}, {"--calibration", "1,2,3,4,5"}, {"--calibration", "1,,2"},
             {"--calibration", "1,nan"}})
        EXPECT_THROW(ReadLampOption(option, value, options), std::invalid_argument) << value;
    options.Calibration = {400, 1, -0.002};
    EXPECT_THROW(LampEmissionLines(options, 512), std::invalid_argument);
}

} // namespace
