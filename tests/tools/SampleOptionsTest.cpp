#include "simulator/SensorModel.h"
#include "simulator/SimulatorOptions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <numeric>

namespace {

TEST(SampleOptionsTest, SensorAndSampleOptionsAreReadOrRefusedWithAReason)
{
    const TSimulatorOptions options = ParseSimulatorOptions({"--pixels", "3648", "--full-scale=4095", "--output",
                                                             "falling", "--transmission", "50%", "--sample-after",
                                                             "3", "--saturate", "7", "--drift", "on"});
    EXPECT_EQ(options.Fields, 3653);
    EXPECT_EQ(options.Sample.FullScale, 4095);
    EXPECT_TRUE(options.Sample.FallingOutput);
    EXPECT_EQ(options.Sample.Transmission, "50%");
    EXPECT_EQ(options.Sample.SampleAfter, 3u);
    EXPECT_EQ(options.Sample.Saturate, 7);
    EXPECT_TRUE(options.Sample.Drift);
    const std::pair<std::vector<std::string>, const char*> bad[] = {
        {{"--pixels", "0"}, "--pixels needs a whole number from 1"},
        {{"--output", "up"}, "rising or falling"},
        {{"--transmission", "150%"}, "percentage from 0 to 100, not '150'"},
        {{"--transmission", "/nonexistent/t.csv"}, "P%, filter or a readable file"},
        {{"--drift", "yes"}, "on or off"},
    };
    for (const auto& [arguments, why] : bad) {
        try {
            ParseSimulatorOptions(arguments);
            ADD_FAILURE() << arguments[0];
        } catch (const std::invalid_argument& error) {
            EXPECT_NE(std::string(error.what()).find(why), std::string::npos) << error.what();
        }
    }
}

TEST(SampleOptionsTest, TransmissionCurvesInterpolateAndHoldTheirEnds)
{
    const std::string path = testing::TempDir() + "transmission.csv";
    std::ofstream(path) << "# pixel, percent\n100,20\n\n300\t60\r\n200 40\n";
    const TTransmission file = TTransmission::Parse(path, 6, 512);
    const std::pair<double, double> points[] = {{6, 0.2}, {150, 0.3}, {250, 0.5}, {400, 0.6}};
    for (const auto& [pixel, share] : points)
        EXPECT_DOUBLE_EQ(file.At(pixel), share) << pixel;
    std::ofstream(path) << "100,20,5\n";
    EXPECT_THROW(TTransmission::Parse(path, 6, 512), std::invalid_argument);
    std::remove(path.c_str());
    const TTransmission filter = TTransmission::Parse("filter", 6, 512);
    EXPECT_DOUBLE_EQ(filter.At(259), 0.8);
    EXPECT_NEAR(filter.At(6), 0.05, 1e-5);
}

// The sample halves the lamp after the frames with light it waits for; the
// saturated pixels read full scale exactly, in either output direction.
TEST(SampleOptionsTest, SampleEntersTheBeamOnCueAndSaturatedPixelsAreExact)
{
    for (const bool falling : {false, true}) {
        TSampleOptions sample;
        sample.FullScale = 4095;
        sample.FallingOutput = falling;
        sample.Transmission = "50%";
        sample.SampleAfter = 2;
        sample.Saturate = 5;
        TSensorModel model(512, 4, sample);
        std::vector<int> readings;
        const auto light = [&](int32_t exposure) {
            model.Generate(exposure, readings);
            double sum = 0;
            for (const int reading : readings)
                sum += falling ? 4095 - reading : reading;
            return sum / double(readings.size());
        };
        const double dark = light(0);
        EXPECT_EQ(std::count(readings.begin(), readings.end(), falling ? 0 : 4095), 0);
        const double reference = light(100);
        EXPECT_FALSE(model.SampleInBeam());
        EXPECT_EQ(std::count(readings.begin(), readings.end(), falling ? 0 : 4095), 5);
        light(100);
        EXPECT_TRUE(model.SampleInBeam());
        const double through = light(100);
        // The saturated pixels stay saturated through the sample: a small
        // share of the mean.
        EXPECT_NEAR((through - dark) / (reference - dark), 0.5, 0.01) << falling;
    }
}

} // namespace
