#include "spectrum/AutoExposure.h"
#include "spectrum/OverlayFile.h"
#include "spectrum/SpectrumErrors.h"
#include "spectrum/TimeSeries.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

// A linear sensor with a dark level: peak = dark + slope * exposure, up to
// full scale.
TEST(AutoExposureTest, SettlesInTheBandWithinSixFramesAndKeepsToTheLimits)
{
    struct TCase {
        int start;
        double dark, slope;
        int minimum, maximum;
        int settled; // 0: anywhere in the band
    };
    const TCase cases[] = {
        {100, 14, 1.5, 1, 65535, 0},   {1, 14, 1.5, 1, 65535, 0},     {5000, 14, 1.5, 1, 65535, 0},
        {100, 200, 40, 1, 65535, 0},   {30, 0, 0.01, 1, 65535, 0},    {100, 14, 1.5, 1, 50, 50},
        {100, 14, 1.5, 300, 1000, 300}, {65535, 300, 1, 1, 65535, 0},
    };
    const double fullScale = 4095;
    for (const TCase& c : cases) {
        TAutoExposure control;
        control.SetLimits(c.maximum, c.minimum); // either order
        int exposure = c.start;
        double peak = 0;
        for (int frame = 0; frame < 6; ++frame) {
            peak = std::min(c.dark + c.slope * exposure * fullScale / 255, fullScale);
            exposure = control.Next(exposure, peak, fullScale);
            ASSERT_GE(exposure, c.minimum);
            ASSERT_LE(exposure, c.maximum);
        }
        peak = std::min(c.dark + c.slope * exposure * fullScale / 255, fullScale);
        if (c.settled) {
            EXPECT_EQ(exposure, c.settled) << c.start;
        } else {
            EXPECT_TRUE(peak >= 0.70 * fullScale && peak <= 0.85 * fullScale) << c.start << " " << peak;
            EXPECT_EQ(control.Next(exposure, peak, fullScale), exposure) << "steady once in the band";
        }
    }
}

TEST(TimeSeriesTest, BandsAverageTheirPointsAndTheHistoryStaysBoundedByMerging)
{
    const std::vector<TSpectrumPoint> curve{{10, 1, true}, {11, 3, true}, {12, 99, false}, {13, 8, true}};
    const std::pair<TBand, std::optional<double>> bands[] = {
        {{10.5, 1}, 2}, {{11, 4}, 4}, {{12, 0}, std::nullopt}, {{12.6, 0}, 8}, {{20, 2}, std::nullopt}};
    for (const auto& [band, value] : bands)
        EXPECT_EQ(BandValue(curve, band), value) << band.Centre;

    TTimeSeries series(8);
    series.SetBands({{10, 0}, {12, 0}, {13, 0}, {11, 0}, {99, 1}});
    ASSERT_EQ(series.Bands().size(), 4u);
    for (int frame = 0; frame < 1000; ++frame) {
        std::vector<TSpectrumPoint> points{{10, double(frame), true}, {12, 0, false}, {13, 5, true}};
        series.Add(100.0 + frame, points);
        ASSERT_LE(series.Entries().size(), 8u);
    }
    EXPECT_EQ(series.Stride(), 128u);
    const TTimeSeries::TEntry& first = series.Entries().front();
    EXPECT_EQ(first.Time, 0.0);
    EXPECT_DOUBLE_EQ(first.Value[0], 63.5); // the mean of frames 0 to 127
    EXPECT_EQ(first.Present, 0b101);

    const std::string csv = series.Csv();
    EXPECT_EQ(csv.substr(0, csv.find('\n')), "time (s),band 10 width 0,band 12 width 0,band 13 width 0,band 11 width 0");
    EXPECT_NE(csv.find("\n0,63.5,,5,\n"), std::string::npos) << csv;

    const auto shown = series.Decimated(0, 0, 2000, 2);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_LT(shown[0].second, shown[1].second);
    EXPECT_TRUE(series.Decimated(1, 0, 2000, 10).empty());
}

TEST(OverlayFileTest, ReadsOurFilesAndPlainCsvAndRefusesTheRestByLine)
{
    const std::vector<TSpectrumPoint> points{{6, 50.25, true}, {7, 0, false}, {8, 1.0 / 3, true}};
    const TOverlay back = ParseOverlayCsv(ProcessedSpectrumCsv(points, TProcessingMode::Transmittance, "pixel"));
    ASSERT_EQ(back.Points.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(back.Points[i].X, points[i].X);
        EXPECT_EQ(back.Points[i].Present, points[i].Present);
        EXPECT_EQ(back.Points[i].Y, points[i].Y); // every digit kept
    }
    const std::pair<const char*, std::vector<double>> good[] = {
        {"# port: COM11\npixel,raw reading,plotted value\n6,12,244\n7,0,256\n", {6, 244, 7, 256}},
        {"1.5;2e3\r\n2\t-4\n", {1.5, 2000, 2, -4}},
        {"wavelength (nm),counts\n500, +7 \n", {500, 7}},
    };
    for (const auto& [text, expected] : good) {
        const TOverlay overlay = ParseOverlayCsv(text);
        ASSERT_EQ(overlay.Points.size() * 2, expected.size()) << text;
        for (std::size_t i = 0; i < overlay.Points.size(); ++i)
            EXPECT_EQ(std::make_pair(overlay.Points[i].X, overlay.Points[i].Y), std::make_pair(expected[2 * i], expected[2 * i + 1]));
    }
    EXPECT_EQ(ParseOverlayCsv("wavelength (nm),counts\n500,7\n").XUnit, "nm");
    // JCAMP-DX: the gap left out, every other point exact, the unit kept.
    for (const std::string unit : {"pixel", "nm"}) {
        const TOverlay jcamp = ParseOverlay(ProcessedSpectrumJcamp(points, TProcessingMode::Absorbance, unit));
        ASSERT_EQ(jcamp.Points.size(), 2u);
        EXPECT_EQ(jcamp.XUnit, unit);
        EXPECT_EQ(std::make_pair(jcamp.Points[1].X, jcamp.Points[1].Y), std::make_pair(8.0, 1.0 / 3));
    }
    EXPECT_EQ(ParseOverlay(" 1,2\n").Points.size(), 1u);
    EXPECT_THROW(ParseOverlay("##TITLE=x\n##END=\n"), ESpectrum);
    const std::pair<const char*, const char*> bad[] = {
        {"", "holds no spectrum"},
        {"# only a comment\n", "holds no spectrum"},
        {"x,y\n1,2\n3\n", "Line 3 of the file has no y value"},
        {"1,2\nnan,3\n", "Line 2 of the file has no x number: 'nan'"},
        {"1,inf\n", "Line 1 of the file has no y number: 'inf'"},
        {"1,2\nx,y\n", "Line 2 of the file has no x number: 'x'"},
        {"\x89PNG\r\n", "holds no spectrum"},
    };
    for (const auto& [text, why] : bad) {
        try {
            ParseOverlayCsv(text);
            ADD_FAILURE() << text;
        } catch (const ESpectrum& error) {
            EXPECT_NE(std::string(error.what()).find(why), std::string::npos) << error.what();
        }
    }
}

} // namespace
