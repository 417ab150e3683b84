#include "graph/Axis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct NotificationCounter {
    explicit NotificationCounter(TAxis& axis)
    {
        axis.OnChange = [this, &axis](TGraphPersistent* sender) {
            EXPECT_EQ(sender, &axis);
            ++count;
        };
    }
    int count = 0;
};

TAxis& MainWindowXAxis(TAxis& axis)
{
    axis.SetMax(512);
    axis.SetPixelLength(894);
    return axis;
}

using Range = std::pair<double, double>;

Range RangeOf(const TAxis& axis)
{
    return {axis.Min(), axis.Max()};
}

std::vector<double> MainTickValues(const std::vector<TAxisTick>& ticks)
{
    std::vector<double> values;
    for (const TAxisTick& tick : ticks)
        if (tick.Main)
            values.push_back(tick.Value);
    return values;
}

TEST(AxisTest, NewAxisHasTheDefaultScale)
{
    TAxis axis;
    EXPECT_EQ(axis.Title(), "Axis-Title");
    EXPECT_EQ(RangeOf(axis), Range(0.0, 10.0));
    EXPECT_EQ(axis.PixelLength(), 200);
    EXPECT_EQ(axis.PixelsPerUnit(), 20.0);
    EXPECT_EQ(axis.MainStep(), 2.0);
    EXPECT_EQ(axis.SubTickCount(), 25);
    EXPECT_EQ(axis.SubTickPixels(), 8.0);
    EXPECT_DOUBLE_EQ(axis.UnitsPerPixel(), 0.05);
    EXPECT_EQ(axis.Decimals(), 2);
    EXPECT_TRUE(axis.ShowMainGrid());
    EXPECT_FALSE(axis.ShowSubGrid());
}

TEST(AxisTest, RangeRulesRefuseEmptyInvertedAndNonFiniteRanges)
{
    TAxis axis;
    NotificationCounter changes(axis);
    axis.SetMin(20);
    axis.SetMin(10);
    axis.SetMin(std::numeric_limits<double>::quiet_NaN());
    axis.SetMin(-std::numeric_limits<double>::infinity());
    axis.SetMax(0);
    EXPECT_EQ(changes.count, 0);
    axis.SetMax(std::numeric_limits<double>::max());
    axis.SetMin(-std::numeric_limits<double>::max()); // the width would overflow
    EXPECT_EQ(RangeOf(axis), Range(0.0, std::numeric_limits<double>::max()));
    EXPECT_EQ(changes.count, 1);

    axis.SetMin(-5);
    axis.SetMax(5);
    axis.SetMax(5);
    EXPECT_EQ(axis.HomeMin(), -5.0);
    EXPECT_EQ(axis.HomeMax(), 5.0);
    EXPECT_EQ(axis.PixelsPerUnit(), 20.0);
    EXPECT_EQ(changes.count, 3);
}

TEST(AxisTest, RefusedByteSettingsStillRecalculateAndNotify)
{
    TAxis axis;
    NotificationCounter changes(axis);
    axis.SetMainTicks(0);
    axis.SetSubTicks(0);
    axis.SetDecimals(5);
    EXPECT_EQ(axis.MainTicks(), 5);
    EXPECT_EQ(axis.SubTicks(), 5);
    EXPECT_EQ(axis.Decimals(), 2);
    EXPECT_EQ(changes.count, 3);

    axis.SetDecimals(4);
    axis.SetMainTicks(4);
    axis.SetSubTicks(2);
    EXPECT_EQ(axis.Decimals(), 4);
    EXPECT_EQ(axis.MainStep(), 2.5);
    EXPECT_EQ(axis.SubTickCount(), 8);
    EXPECT_EQ(axis.SubTickPixels(), 25.0);
    EXPECT_EQ(changes.count, 6);

    axis.SetTitle("A title that is much longer than thirty-two characters");
    EXPECT_EQ(axis.Title(), "A title that is much longer than");
    EXPECT_EQ(changes.count, 7);
}

TEST(AxisTest, PixelLengthNotifiesOnlyWhenItChanges)
{
    TAxis axis;
    NotificationCounter changes(axis);
    axis.SetPixelLength(200);
    EXPECT_EQ(changes.count, 0);
    MainWindowXAxis(axis);
    EXPECT_EQ(changes.count, 2);
    EXPECT_DOUBLE_EQ(axis.MainStep(), 102.4);
    EXPECT_DOUBLE_EQ(axis.SubTickPixels(), 35.76);
}

TEST(AxisTest, AxisOfNoLengthMapsEveryPixelToMin)
{
    TAxis axis;
    axis.SetPixelLength(0);
    EXPECT_EQ(axis.PixelToValue(17), 0.0);
    axis.SetPanPixels(100);
    EXPECT_NO_THROW(axis.LayoutTicks());
    EXPECT_EQ(axis.PanSubTicks(), 0);
}

TEST(AxisTest, ValueAndPixelMappingRoundHalvesToEvenAndInvert)
{
    TAxis axis;
    axis.SetMax(256);
    axis.SetPixelLength(281);
    EXPECT_EQ(axis.ValueToPixel(128), 140); // 140.5
    EXPECT_EQ(axis.ValueToPixel(256), 281);
    axis.SetMax(2);
    axis.SetPixelLength(3);
    EXPECT_EQ(axis.ValueToPixel(1), 2); // 1.5
    EXPECT_EQ(axis.ValueToPixel(std::numeric_limits<double>::max()), 1 << 30);

    TAxis x;
    MainWindowXAxis(x);
    x.SetPanPixels(-13);
    for (double v = -50; v < 600; v += 0.37)
        EXPECT_LE(std::fabs(x.PixelToValue(x.ValueToPixel(v)) - v), x.UnitsPerPixel() / 2 + 1e-9) << v;
}

TEST(AxisTest, ZoomWidensAboutTheCentreAndRefusesEmptyRanges)
{
    TAxis axis;
    axis.Zoom(1.0);
    EXPECT_EQ(RangeOf(axis), Range(0.0, 10.0));
    axis.Zoom(2);
    EXPECT_EQ(RangeOf(axis), Range(-5.0, 15.0));
    EXPECT_EQ(axis.PixelsPerUnit(), 10.0);
    EXPECT_EQ(axis.HomeMax(), 10.0);

    EXPECT_FALSE(axis.CanZoom(2.0 / 3));
    EXPECT_FALSE(axis.CanZoom(0.5));
    axis.Zoom(0.5);
    EXPECT_EQ(axis.Min(), -5.0);
    EXPECT_TRUE(axis.CanZoom(0.7));
}

TEST(AxisTest, CentringKeepsTheWidthAndMoveRangeNeedsOverlap)
{
    TAxis axis;
    axis.CenterOn(100);
    EXPECT_EQ(RangeOf(axis), Range(95.0, 105.0));
    EXPECT_EQ(axis.GetCenter(), 100.0);

    axis.MoveRange(200, 210);
    EXPECT_EQ(axis.Min(), 95.0);
    axis.MoveRange(97, 107);
    EXPECT_EQ(RangeOf(axis), Range(97.0, 107.0));

    axis.RestoreHome();
    EXPECT_EQ(RangeOf(axis), Range(0.0, 10.0));
}

TEST(AxisTest, TickLayoutWithoutPanWalksDownFromMax)
{
    TAxis axis;
    const std::vector<TAxisTick> ticks = axis.LayoutTicks();
    ASSERT_EQ(ticks.size(), 26u);
    EXPECT_EQ(ticks.front().Offset, 200);
    EXPECT_EQ(ticks.back().Offset, 0);
    EXPECT_EQ(MainTickValues(ticks), (std::vector<double>{10, 8, 6, 4, 2, 0}));
    EXPECT_TRUE(ticks[5].Main);
    EXPECT_FALSE(ticks[6].Main);
    EXPECT_EQ(ticks[6].Offset, 152);

    TAxis x;
    MainWindowXAxis(x);
    const std::vector<TAxisTick> xTicks = x.LayoutTicks();
    EXPECT_EQ(xTicks[1].Offset, 858); // round(24 x 35.76) = round(858.24)
    EXPECT_EQ(xTicks[2].Offset, 822); // round(822.48)
}

// A pan of whole main steps folds into the range; what is left walks the
// ticks by whole sub ticks.
TEST(AxisTest, PanFoldsWholeMainStepsIntoTheRangeAndWalksTheRestBySubTicks)
{
    struct Case {
        int pan;
        double min, max;
        int panPixels, panSubTicks;
        std::vector<double> mainValues;
        int firstOffset, lastOffset;
    };
    const Case cases[] = {
        {40, -2, 8, 0, 0, {-2, 0, 2, 4, 6, 8}, 0, 200},
        {30, 0, 10, 30, 4, {0, 2, 4, 6, 8}, -2, 198},
        {56, -2, 8, 0, 0, {-2, 0, 2, 4, 6, 8}, 0, 200},
        {-41, 2, 12, -1, 0, {12, 10, 8, 6, 4, 2}, 199, -1},
        {-20, 0, 10, -20, -2, {10, 8, 6, 4, 2}, 196, -4}, // round(-2.5); i = 27 down to 2
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pan);
        TAxis axis;
        axis.SetPanPixels(c.pan);
        const std::vector<TAxisTick> ticks = axis.LayoutTicks();
        EXPECT_EQ(RangeOf(axis), Range(c.min, c.max));
        EXPECT_EQ(std::pair(axis.PanPixels(), axis.PanSubTicks()), std::pair(c.panPixels, c.panSubTicks));
        EXPECT_EQ(MainTickValues(ticks), c.mainValues);
        ASSERT_EQ(ticks.size(), 26u);
        EXPECT_EQ(std::pair(ticks.front().Offset, ticks.back().Offset), std::pair(c.firstOffset, c.lastOffset));
    }
    // Pan 30 is four sub ticks on: the first tick is i = -4, main value 0 sits at the pan.
    TAxis partly;
    partly.SetPanPixels(30);
    const TAxisTick zero = partly.LayoutTicks()[4];
    EXPECT_TRUE(zero.Main);
    EXPECT_EQ(std::pair(zero.Offset, zero.Value), std::pair(30, 0.0));
}

} // namespace
