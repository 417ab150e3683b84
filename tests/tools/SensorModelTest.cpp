#include "simulator/SensorModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

std::vector<int> Spectrum(TSensorModel& generator, int32_t exposure)
{
    std::vector<int> readings;
    generator.Generate(exposure, readings);
    return readings;
}

int ReadingAt(const std::vector<int>& readings, double pixel)
{
    return readings.at(static_cast<size_t>(pixel) - TSensorModel::FirstReadingField);
}

TEST(SensorModelTest, SameSeedGivesTheSameSpectraAndAnotherSeedOtherNoise)
{
    TSensorModel first(512, 7);
    TSensorModel second(512, 7);
    TSensorModel other(512, 8);
    for (const int32_t exposure : {100, 100, 40}) {
        const std::vector<int> expected = Spectrum(first, exposure);
        EXPECT_EQ(Spectrum(second, exposure), expected);
        EXPECT_NE(Spectrum(other, exposure), expected);
    }
}

TEST(SensorModelTest, GivesOneReadingPerFieldFromTheSixthWithinTheSensorRange)
{
    for (const int fields : {5, 6, 512, 2300}) {
        TSensorModel generator(fields, 1);
        for (const int32_t exposure : {-50, 0, 100, 2147483647}) {
            const std::vector<int> readings = Spectrum(generator, exposure);
            ASSERT_EQ(readings.size(), static_cast<size_t>(fields - 5));
            for (const int reading : readings)
                ASSERT_TRUE(reading >= 0 && reading <= TSensorModel::MaxReading) << reading;
        }
    }
}

TEST(SensorModelTest, EmissionLinesGrowWithExposureUntilTheSensorSaturates)
{
    TSensorModel generator(512, 3);
    const std::vector<int> dark = Spectrum(generator, 0);
    const std::vector<int> dim = Spectrum(generator, 50);
    const std::vector<int> bright = Spectrum(generator, 100);
    const std::vector<int> flooded = Spectrum(generator, 10000);

    EXPECT_LT(*std::max_element(dark.begin(), dark.end()), 40);
    for (const TEmissionLine& line : TSensorModel::EmissionLines) {
        const int darkPeak = ReadingAt(dark, line.Pixel);
        const int dimPeak = ReadingAt(dim, line.Pixel);
        const int brightPeak = ReadingAt(bright, line.Pixel);
        EXPECT_GT(dimPeak, darkPeak + 20) << line.Pixel;
        EXPECT_GT(brightPeak, dimPeak + 20) << line.Pixel;
        EXPECT_EQ(ReadingAt(flooded, line.Pixel), TSensorModel::MaxReading) << line.Pixel;
    }
    // Far from every line the level does not follow the exposure.
    EXPECT_LT(std::abs(ReadingAt(bright, 30) - ReadingAt(dark, 30)), 10);
}

TEST(SensorModelTest, NegativeExposureIsNoLight)
{
    TSensorModel negative(512, 5);
    TSensorModel none(512, 5);
    EXPECT_EQ(Spectrum(negative, -100), Spectrum(none, 0));
}

} // namespace
