#include "specsim/SpectrumGenerator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

std::vector<int> Spectrum(TSpectrumGenerator& generator, int32_t exposure)
{
    std::vector<int> readings;
    generator.Generate(exposure, readings);
    return readings;
}

int ReadingAt(const std::vector<int>& readings, double pixel)
{
    return readings.at(static_cast<size_t>(pixel) - TSpectrumGenerator::FirstReadingField);
}

TEST(SpectrumGeneratorTest, SameSeedGivesTheSameSpectraAndAnotherSeedOtherNoise)
{
    TSpectrumGenerator first(512, 7);
    TSpectrumGenerator second(512, 7);
    TSpectrumGenerator other(512, 8);
    for (const int32_t exposure : {100, 100, 40}) {
        const std::vector<int> expected = Spectrum(first, exposure);
        EXPECT_EQ(Spectrum(second, exposure), expected);
        EXPECT_NE(Spectrum(other, exposure), expected);
    }
}

TEST(SpectrumGeneratorTest, GivesOneReadingPerFieldFromTheSixthWithinTheSensorRange)
{
    for (const int fields : {5, 6, 512, 2300}) {
        TSpectrumGenerator generator(fields, 1);
        for (const int32_t exposure : {-50, 0, 100, 2147483647}) {
            const std::vector<int> readings = Spectrum(generator, exposure);
            ASSERT_EQ(readings.size(), static_cast<size_t>(fields - 5));
            for (const int reading : readings)
                ASSERT_TRUE(reading >= 0 && reading <= TSpectrumGenerator::MaxReading) << reading;
        }
    }
}

TEST(SpectrumGeneratorTest, EmissionLinesGrowWithExposureUntilTheSensorSaturates)
{
    TSpectrumGenerator generator(512, 3);
    const std::vector<int> dark = Spectrum(generator, 0);
    const std::vector<int> dim = Spectrum(generator, 50);
    const std::vector<int> bright = Spectrum(generator, 100);
    const std::vector<int> flooded = Spectrum(generator, 10000);

    EXPECT_LT(*std::max_element(dark.begin(), dark.end()), 40);
    for (const TEmissionLine& line : TSpectrumGenerator::EmissionLines) {
        const int darkPeak = ReadingAt(dark, line.Pixel);
        const int dimPeak = ReadingAt(dim, line.Pixel);
        const int brightPeak = ReadingAt(bright, line.Pixel);
        EXPECT_GT(dimPeak, darkPeak + 20) << line.Pixel;
        EXPECT_GT(brightPeak, dimPeak + 20) << line.Pixel;
        EXPECT_EQ(ReadingAt(flooded, line.Pixel), TSpectrumGenerator::MaxReading) << line.Pixel;
    }
    // Far from every line the level does not follow the exposure.
    EXPECT_LT(std::abs(ReadingAt(bright, 30) - ReadingAt(dark, 30)), 10);
}

TEST(SpectrumGeneratorTest, NegativeExposureIsNoLight)
{
    TSpectrumGenerator negative(512, 5);
    TSpectrumGenerator none(512, 5);
    EXPECT_EQ(Spectrum(negative, -100), Spectrum(none, 0));
}

} // namespace
