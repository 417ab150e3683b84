#include "spectrum/SensorLayout.h"

#include "app/FrameAveraging.h"
#include "app/FrameDecoder.h"
#include "spectrum/SpectrumErrors.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

QByteArray Frame(int header, const std::vector<int>& readings)
{
    QByteArray frame;
    for (int i = 1; i <= header; ++i)
        frame += "H" + QByteArray::number(i) + "\r\n";
    for (const int reading : readings)
        frame += QByteArray::number(reading) + "\r\n";
    return frame + 'e';
}

TEST(SensorLayoutTest, PresetsStartWithTheDefaultAndSurviveTheirTextForm)
{
    ASSERT_EQ(SensorPresets().front().Layout, TFrameLayout{});
    EXPECT_EQ(SensorLayoutText(TFrameLayout{}), "header=5 first=6 pixels=507 fields=2200 full=256 output=falling");
    const int pixels[] = {507, 128, 2048, 3648};
    for (std::size_t i = 0; i < SensorPresets().size(); ++i) {
        const TSensorPreset& preset = SensorPresets()[i];
        EXPECT_EQ(preset.Layout.Pixels, pixels[i]);
        EXPECT_TRUE(preset.Layout.Valid()) << preset.Name;
        EXPECT_EQ(ParseSensorLayout(SensorLayoutText(preset.Layout)), preset.Layout);
        EXPECT_EQ(SensorLayoutName(preset.Layout), preset.Name);
    }
    TFrameLayout custom;
    custom.FirstReading = 40;
    EXPECT_EQ(SensorLayoutName(custom), "Custom");
    EXPECT_EQ(ParseSensorLayout("output=rising full=65535 fields=9 pixels=2 first=8 header=0").LastReading(), 9);
}

TEST(SensorLayoutTest, TextsThatAreNoLayoutAreRefusedByName)
{
    const std::pair<const char*, const char*> cases[] = {
        {"", "lacks its header"},
        {"header=5 first=6 pixels=507 fields=2200 full=256", "lacks its output"},
        {"header=5 first=6 pixels=507 fields=2200 full=256 output=up", "falling or rising"},
        {"header=5 first=6 pixels=5x7 fields=2200 full=256 output=rising", "not a whole number: '5x7'"},
        {"header=5 header=5 first=6", "one key=value"},
        {"header=5 first=6 pixels=507 fields=2200 full=256 output=rising gain=2", "unknown key 'gain'"},
        {"header=5 first=6 pixels=2196 fields=2200 full=256 output=rising", "does not fit"},
        {"header=6 first=6 pixels=1 fields=2200 full=256 output=rising", "does not fit"},
        {"header=5 first=6 pixels=2147483647 fields=100000 full=256 output=rising", "does not fit"},
        {"header=5 first=6 pixels=7 fields=100001 full=256 output=rising", "does not fit"},
        {"header=5 first=6 pixels=7 fields=20 full=0 output=rising", "does not fit"},
    };
    for (const auto& [text, why] : cases) {
        try {
            ParseSensorLayout(text);
            ADD_FAILURE() << text;
        } catch (const ESpectrum& error) {
            EXPECT_NE(std::string(error.what()).find(why), std::string::npos) << text << ": " << error.what();
        }
    }
}

// The decoding rules hold for every layout: header text only, readings
// converted, the unfinished field dropped, a bad reading refused, fields
// past the limit ignored; the curve's y follows the output's direction.
TEST(SensorLayoutTest, DecodingAndAveragingFollowTheLayout)
{
    auto decoder = std::make_unique<TFrameDecoder>();
    TFrameLayout layout = SensorPresets()[3].Layout;
    decoder->SetLayout(layout);
    std::vector<int> readings(3648);
    for (std::size_t i = 0; i < readings.size(); ++i)
        readings[i] = int(i);
    EXPECT_TRUE(decoder->Decode(Frame(5, readings)));
    EXPECT_EQ(decoder->FieldValue(3653), 3647);
    decoder->ReadScale("0", "1");
    EXPECT_EQ(decoder->PlotValue(4000), 95);

    TFrameAveraging averaging;
    averaging.SetLayout(layout);
    averaging.Add(*decoder);
    EXPECT_EQ(std::make_pair(averaging.FirstX(), averaging.LastX()), std::make_pair(6, 3653));
    EXPECT_EQ(averaging.Average(3653), 3647);

    layout = {2, 4, 3, 6, 1000, false};
    decoder->SetLayout(layout);
    EXPECT_EQ(decoder->FieldValue(6), 0); // fresh tables
    EXPECT_TRUE(decoder->Decode("A\r\nB\r\n7\r\n8\r\n9\r\n10\r\n11\r\n12e"));
    EXPECT_EQ(decoder->FieldText(2), "B");
    EXPECT_EQ(decoder->FieldValue(3), 7); // a reading, though not plotted
    EXPECT_EQ(decoder->FieldValue(6), 10);
    decoder->ReadScale("5", "2");
    EXPECT_EQ(decoder->PlotValue(100), 195); // rising: reading * gain - offset
    EXPECT_THROW(decoder->Decode("A\r\nB\r\n7\r\n8 \r\ne"), EReadingError);
    EXPECT_EQ(decoder->FieldValue(3), 7);

    EXPECT_THROW(decoder->SetLayout({5, 5, 10, 2200, 256, true}), Exception);
    EXPECT_EQ(decoder->Layout(), layout);
}

} // namespace
