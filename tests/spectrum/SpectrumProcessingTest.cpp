#include "spectrum/SpectrumProcessing.h"

#include "spectrum/SpectrumErrors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

// A four-pixel rising sensor of full scale 1000, fed whole frames.
class SpectrumProcessingTest : public ::testing::Test {
protected:
    SpectrumProcessingTest()
    {
        layout.Pixels = 4;
        layout.FullScale = 1000;
        layout.FallingOutput = false;
        decoder->SetLayout(layout);
        averaging.SetLayout(layout);
    }

    void Feed(const std::vector<int>& readings)
    {
        QByteArray frame = "H\r\nH\r\nH\r\nH\r\nH\r\n";
        for (const int reading : readings)
            frame += QByteArray::number(reading) + "\r\n";
        decoder->Decode(frame + 'e');
        averaging.Add(*decoder);
    }

    TProcessedSpectrum Run()
    {
        TProcessedSpectrum out;
        processor.Process(*decoder, averaging, out);
        return out;
    }

    TFrameLayout layout;
    std::unique_ptr<TFrameDecoder> decoder = std::make_unique<TFrameDecoder>();
    TFrameAveraging averaging;
    TSpectrumProcessor processor;
};

TEST_F(SpectrumProcessingTest, ModesNeedTheirFramesAndComputeFromTheExactAverage)
{
    Feed({100, 100, 100, 100});
    processor.SetMode(TProcessingMode::Transmittance);
    EXPECT_EQ(Run().Missing, "No dark frame: take one first");
    EXPECT_THROW(processor.TakeReference(averaging, layout), ESpectrum);
    averaging.TakeDark();
    EXPECT_EQ(Run().Missing, "No reference: take one first");
    EXPECT_TRUE(Run().Points.empty());

    // Reference: 100 above dark at pixels 6 and 7, none at 8, less at 9.
    averaging.Clear();
    Feed({200, 200, 100, 50});
    processor.TakeReference(averaging, layout);
    averaging.SetDepth(2);
    averaging.Clear();
    Feed({150, 110, 150, 150});
    Feed({151, 300, 150, 150}); // means 150.5 and 205: never rounded

    struct TCase {
        TProcessingMode mode;
        double y6, y7;
    };
    const TCase cases[] = {
        {TProcessingMode::Scope, 51, 105}, // rounded average less dark, gain 1
        {TProcessingMode::ScopeMinusDark, 50.5, 105},
        {TProcessingMode::Transmittance, 50.5, 105},
        {TProcessingMode::Absorbance, -std::log10(0.505), -std::log10(1.05)},
    };
    decoder->ReadScale("0", "1");
    for (const TCase& c : cases) {
        processor.SetMode(c.mode);
        const TProcessedSpectrum out = Run();
        ASSERT_EQ(out.Points.size(), 4u);
        EXPECT_EQ(out.Missing, "");
        EXPECT_DOUBLE_EQ(out.Points[0].Y, c.y6) << ModeInfo(c.mode).Name;
        EXPECT_DOUBLE_EQ(out.Points[1].Y, c.y7) << ModeInfo(c.mode).Name;
        // No reference light at 8, none below it at 9: gaps in the ratios.
        const bool ratio = ModeInfo(c.mode).NeedsReference;
        EXPECT_EQ(out.Points[2].Present, !ratio);
        EXPECT_EQ(out.Points[3].Present, !ratio);
        for (const TSpectrumPoint& point : out.Points)
            EXPECT_TRUE(std::isfinite(point.Y));
    }
    // A sample darker than the dark frame is no positive ratio either.
    Feed({50, 50, 50, 50});
    Feed({50, 50, 50, 50});
    processor.SetMode(TProcessingMode::Absorbance);
    for (const TSpectrumPoint& point : Run().Points)
        EXPECT_FALSE(point.Present);
}

TEST_F(SpectrumProcessingTest, SaturationIsCountedOnTheNewestFrameAndLowSignalBelowATenth)
{
    layout.FallingOutput = true; // saturated at reading 0
    decoder->SetLayout(layout);
    averaging.SetLayout(layout);
    const std::pair<std::vector<int>, const char*> cases[] = {
        {{0, 0, 500, -3}, "Saturated: 3 pixels"},
        {{1, 500, 500, 500}, ""},
        {{901, 950, 999, 1000}, "Low signal"},
        {{900, 950, 999, 1000}, ""},
    };
    for (const auto& [readings, text] : cases) {
        Feed(readings);
        EXPECT_EQ(Run().SignalText, text);
    }
    Feed({0, 500, 0, 500});
    EXPECT_EQ(Run().SaturatedPixels, (std::vector<int>{6, 8}));
}

TEST_F(SpectrumProcessingTest, BoxcarAveragesPresentNeighboursAndKeepsGaps)
{
    layout.Pixels = 6;
    decoder->SetLayout(layout);
    averaging.SetLayout(layout);
    Feed({0, 0, 0, 0, 0, 0});
    averaging.TakeDark();
    Feed({100, 100, 0, 100, 100, 100});
    processor.TakeReference(averaging, layout);
    Feed({10, 20, 30, 40, 50, 60});
    processor.SetMode(TProcessingMode::Transmittance);
    const std::pair<int, std::vector<double>> cases[] = {
        {0, {10, 20, -1, 40, 50, 60}},
        {1, {10, 20, -1, 40, 50, 60}},
        {2, {15, 20, -1, 45, 55, 60}},  // the pixel and the next
        {3, {15, 15, -1, 45, 50, 55}},
        {40, {36, 36, -1, 36, 36, 36}}, // clamped to 25: every present pixel
    };
    for (const auto& [width, expected] : cases) {
        processor.SetSmoothing(width);
        const TProcessedSpectrum out = Run();
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(out.Points[i].Present, expected[i] >= 0) << width << " " << i;
            if (expected[i] >= 0) {
                EXPECT_DOUBLE_EQ(out.Points[i].Y, expected[i]) << width << " " << i;
            }
        }
    }
}

} // namespace
