#include "app/FrameAveraging.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>

namespace {

constexpr int First = TFrameAveraging::FirstPixel;
constexpr int Last = TFrameAveraging::LastPixel;

TFrameAveraging::TFrame Flat(std::int32_t reading)
{
    return TFrameAveraging::TFrame(TFrameAveraging::Pixels, reading);
}

TEST(FrameAveragingTest, DepthOneWithoutDarkPlotsExactlyWhatTheDecoderPlots)
{
    auto decoder = std::make_unique<TFrameDecoder>();
    decoder->Decode("H1\r\nH2\r\nH3\r\nH4\r\nH5\r\n2147483647\r\n-2147483648\r\n-1\r\n0\r\n300\r\n$FFFFFFFE\r\ne");
    TFrameAveraging averaging;
    for (const char* gain : {"1", "-3", "2147483648"}) {
        for (const char* offset : {"0", "-2147483648"}) {
            decoder->ReadScale(offset, gain);
            averaging.Add(*decoder);
            for (int x = First; x <= Last; ++x)
                ASSERT_EQ(decoder->PlotValue(averaging.Reading(x)), decoder->PlotY(x)) << x << gain << offset;
        }
    }
}

// Steps on one averaging: a depth to set (0: keep), a flat frame to add
// (none: INT_MIN + 1), the average then and the frames it is made of.
TEST(FrameAveragingTest, AveragesTheNewestFramesRoundingHalvesAwayFromZeroAcrossDepthChanges)
{
    constexpr std::int32_t None = INT_MIN + 1;
    struct TStep {
        int depth;
        std::int32_t added;
        std::int32_t average;
        int averaged;
    };
    const TStep steps[] = {
        {2, 1, 1, 1},      {0, 2, 2, 2},         {0, 4, 3, 2},   // 1.5 -> 2, 3
        {4, 8, 5, 3},      {0, 9, 6, 4},         {0, 1, 6, 4},   // 4.67, 5.75, 5.5 -> 6
        {2, None, 5, 2},   {0, -12, -6, 2},      {0, -1, -7, 2}, // keeps 9 and 1; -5.5, -6.5
        {64, None, -7, 2}, {1, INT_MAX, INT_MAX, 1},              // a grown depth keeps what is there
        {2, INT_MAX, INT_MAX, 2}, {0, INT_MIN, -1, 2},            // no overflow; -0.5 -> -1
    };
    TFrameAveraging averaging;
    for (const TStep& step : steps) {
        if (step.depth)
            averaging.SetDepth(step.depth);
        if (step.added != None)
            averaging.Add(Flat(step.added));
        EXPECT_EQ(averaging.Reading(First), step.average) << step.depth << " " << step.added;
        EXPECT_EQ(averaging.Reading(Last), step.average);
        EXPECT_EQ(averaging.FramesAveraged(), step.averaged);
    }
}

TEST(FrameAveragingTest, ADarkFrameIsTheAverageWhenTakenAndIsSubtractedUntilCleared)
{
    TFrameAveraging averaging;
    averaging.TakeDark();
    EXPECT_FALSE(averaging.HasDark()); // no frame yet
    averaging.SetDepth(2);
    averaging.Add(Flat(10));
    averaging.Add(Flat(21));
    averaging.TakeDark(); // 15.5 -> 16
    EXPECT_EQ(averaging.Reading(Last), 0);
    averaging.Add(Flat(41));
    EXPECT_EQ(averaging.Average(First), 31);
    EXPECT_EQ(averaging.Reading(Last), 15);
    // It wraps in 32 bits, as the plotted value does, and outlives Clear.
    averaging.Clear();
    averaging.Add(Flat(INT_MIN + 5));
    EXPECT_EQ(averaging.Reading(First), INT_MAX - 10);
    averaging.ClearDark();
    EXPECT_EQ(averaging.Reading(First), INT_MIN + 5);
}

} // namespace
