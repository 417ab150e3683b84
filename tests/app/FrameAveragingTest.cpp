#include "app/FrameAveraging.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <memory>
#include <vector>

namespace {

using TFrame = TFrameAveraging::TFrame;
constexpr int First = TFrameAveraging::FirstPixel;
constexpr int Last = TFrameAveraging::LastPixel;

TFrame Flat(std::int32_t reading)
{
    TFrame frame;
    frame.fill(reading);
    return frame;
}

// The reading at the first and the last pixel, which must agree for a flat frame.
std::int32_t FlatReading(const TFrameAveraging& averaging)
{
    EXPECT_EQ(averaging.Reading(First), averaging.Reading(Last));
    return averaging.Reading(First);
}

TEST(FrameAveragingTest, DepthOneWithoutDarkPlotsExactlyWhatTheDecoderPlots)
{
    auto decoder = std::make_unique<TFrameDecoder>();
    QByteArray frame = "H1\r\nH2\r\nH3\r\nH4\r\nH5\r\n";
    const std::vector<QByteArray> readings{"2147483647", "-2147483648", "-1", "0", "300", "$FFFFFFFE", "77"};
    for (const QByteArray& reading : readings)
        frame += reading + "\r\n";
    decoder->Decode(QByteArray(frame + "e"));
    TFrameAveraging averaging;
    for (const char* gain : {"1", "2", "-3", "2147483648"}) {
        for (const char* offset : {"0", "10", "-2147483648"}) {
            decoder->ReadScale(offset, gain);
            averaging.Add(*decoder);
            for (int x = First; x <= Last; ++x)
                ASSERT_EQ(decoder->PlotValue(averaging.Reading(x)), decoder->PlotY(x)) << x << gain << offset;
        }
    }
    EXPECT_EQ(averaging.FramesAveraged(), 1);
}

TEST(FrameAveragingTest, AveragesTheLastFramesRoundingHalvesAwayFromZero)
{
    struct TCase {
        int depth;
        std::vector<std::int32_t> frames;
        std::int32_t average;
        int averaged;
    };
    const TCase cases[] = {
        {2, {1, 2}, 2, 2},
        {2, {-1, -2}, -2, 2},
        {4, {1, 2, 4, 8}, 4, 4}, // 3.75
        {4, {1, 1, 1, 2}, 1, 4}, // 1.25
        {2, {10, 20, 40}, 30, 2},
        {8, {5}, 5, 1},
        {3, {1, 2, 3, 4, 5}, 4, 3},
        {2, {INT_MAX, INT_MAX}, INT_MAX, 2},
        {2, {INT_MIN, INT_MIN}, INT_MIN, 2},
        {2, {INT_MIN, INT_MAX}, -1, 2},
        {64, {3, -4}, -1, 2},
    };
    for (const TCase& c : cases) {
        TFrameAveraging averaging;
        averaging.SetDepth(c.depth);
        for (std::int32_t reading : c.frames)
            averaging.Add(Flat(reading));
        EXPECT_EQ(FlatReading(averaging), c.average) << c.depth << " frames " << c.frames.size();
        EXPECT_EQ(averaging.FramesAveraged(), c.averaged);
    }

    // Each pixel is averaged on its own.
    TFrameAveraging averaging;
    averaging.SetDepth(2);
    TFrame ramp;
    for (int x = First; x <= Last; ++x)
        ramp[std::size_t(x - First)] = x;
    averaging.Add(ramp);
    averaging.Add(Flat(0));
    EXPECT_EQ(averaging.Reading(First), 3);     // 6 / 2
    EXPECT_EQ(averaging.Reading(First + 1), 4); // 7 / 2 = 3.5
    EXPECT_EQ(averaging.Reading(Last), 256);
}

TEST(FrameAveragingTest, ChangingTheDepthMidRunKeepsTheNewestFrames)
{
    TFrameAveraging averaging;
    averaging.SetDepth(3);
    // 1, 2, 3 fill the ring; 4 and 5 overwrite its oldest places.
    for (std::int32_t reading : {1, 2, 3, 4, 5})
        averaging.Add(Flat(reading));
    EXPECT_EQ(FlatReading(averaging), 4);
    struct TStep {
        int depth;          // 0: keep
        std::int32_t added; // 0: none
        std::int32_t average;
        int averaged;
    };
    const TStep steps[] = {
        {2, 0, 5, 2},  // 4, 5: 4.5
        {0, 7, 6, 2},  // 5, 7
        {4, 0, 6, 2},  // growing keeps what is there
        {0, 9, 7, 3},  // 5, 7, 9
        {0, 11, 8, 4}, // 5, 7, 9, 11
        {0, 13, 10, 4},
        {1, 0, 13, 1},
        {0, 2, 2, 1},
        {64, 4, 3, 2},
    };
    for (const TStep& step : steps) {
        if (step.depth)
            averaging.SetDepth(step.depth);
        if (step.added)
            averaging.Add(Flat(step.added));
        EXPECT_EQ(FlatReading(averaging), step.average) << step.depth << " " << step.added;
        EXPECT_EQ(averaging.FramesAveraged(), step.averaged);
    }
    averaging.Clear();
    EXPECT_FALSE(averaging.HasFrame());
    averaging.Add(Flat(-8));
    EXPECT_EQ(FlatReading(averaging), -8);
}

TEST(FrameAveragingTest, ADarkFrameIsTheAverageWhenTakenAndIsSubtractedUntilCleared)
{
    TFrameAveraging averaging;
    averaging.TakeDark();
    EXPECT_FALSE(averaging.HasDark()); // no frame yet
    averaging.SetDepth(2);
    averaging.Add(Flat(10));
    averaging.Add(Flat(20));
    averaging.TakeDark(); // 15
    ASSERT_TRUE(averaging.HasDark());
    EXPECT_EQ(FlatReading(averaging), 0);
    averaging.Add(Flat(40)); // average 30
    EXPECT_EQ(averaging.Average(First), 30);
    EXPECT_EQ(FlatReading(averaging), 15);

    // The subtraction wraps in 32 bits, as the plotted value does.
    averaging.SetDepth(1);
    averaging.Add(Flat(INT_MIN));
    averaging.TakeDark();
    averaging.Add(Flat(INT_MAX));
    EXPECT_EQ(FlatReading(averaging), -1);
    averaging.Clear(); // forgets frames, keeps the dark frame
    averaging.Add(Flat(5));
    EXPECT_EQ(FlatReading(averaging), INT_MIN + 5);
    averaging.ClearDark();
    EXPECT_EQ(FlatReading(averaging), 5);
}

} // namespace
