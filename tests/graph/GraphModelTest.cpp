#include "graph/Graph.h"

#include "common/Exception.h"

#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

class GraphModelTest : public ::testing::Test {
protected:
    TXYGraph graph;
};

TEST_F(GraphModelTest, NewGraphHasItsDefaults)
{
    EXPECT_EQ(graph.size(), QSize(400, 300));
    EXPECT_EQ(graph.GraphTitle(), "Graph-Title");
    EXPECT_EQ(graph.XAxis().Title(), "X-Axis-Title");
    EXPECT_EQ(graph.YAxis().Title(), "Y-Axis-Title");
    EXPECT_EQ(graph.MaxZoom(), 5.0);
    EXPECT_EQ(graph.CurrentZoom(), 1.0);
    EXPECT_TRUE(graph.KeepAspect());
    EXPECT_FALSE(graph.PanCurves());
    EXPECT_FALSE(graph.CursorShown());
    EXPECT_EQ(graph.MouseMode(), mmNone);
    EXPECT_FALSE(graph.IsLoaded());
    EXPECT_EQ(graph.CurveCount(), 0);

    EXPECT_EQ(graph.Positions().XAxisLeft(), 60);
    EXPECT_EQ(graph.Positions().YAxisBottom(), 50);
    EXPECT_EQ(graph.Colors().AxisBkGnd(), clSilver);
    EXPECT_EQ(graph.Colors().MainGridColor(), clGray);
    const TFont& scale = graph.Fonts().AxisScale();
    EXPECT_EQ(scale.Name(), "small fonts");
    EXPECT_EQ(scale.Size(), 7);
    EXPECT_EQ(scale.Height(), 9);
    EXPECT_EQ(scale.Color(), clNavy);
    EXPECT_TRUE(graph.Fonts().GraphTitle().Style().Contains(fsBold));
    EXPECT_EQ(graph.Fonts().GraphTitle().Height(), 13);
}

TEST_F(GraphModelTest, CurvesGetUniqueNamesWhateverTheirLength)
{
    graph.DeleteCurve(0);
    EXPECT_EQ(graph.AddCurve("Sinus", clLime, 1, psSolid, true), 0);
    EXPECT_EQ(graph.AddCurve("SINUS", clLime, 1, psSolid, true), 1);
    EXPECT_EQ(graph.AddCurve("sinus", clLime, 1, psSolid, true), 2);
    for (const std::string& name : {std::string(40, 'a'), std::string(31, 'b')})
        for (int i = 0; i < 12; ++i)
            graph.AddCurve(name, clLime, 1, psSolid, true);
    graph.AddCurve("Wellenl\xe4nge", clLime, 1, psSolid, true);
    EXPECT_EQ(graph.AddCurve("WELLENL\xc4NGE", clLime, 1, psSolid, true), 28);
    // Names are cut to 32 characters, the number that makes them unique included.
    const std::pair<int, std::string> names[] = {
        {1, "SINUS1"}, {2, "sinus2"}, {3, std::string(32, 'a')}, {4, std::string(31, 'a') + "1"},
        {14, std::string(30, 'a') + "11"}, {16, std::string(31, 'b') + "1"}, {25, std::string(30, 'b') + "10"},
        {26, std::string(30, 'b') + "11"}, {28, "WELLENL\xc4NGE1"}};
    for (const auto& [index, name] : names)
        EXPECT_EQ(graph.Curve(index)->Name, name) << index;

    // The long name given to AddCurve finds the curve stored under its cut form.
    const std::tuple<std::string, bool, int> finds[] = {{"sinus1", true, 1}, {"Cosinus", false, -1},
                                                        {std::string(45, 'A'), true, 3}};
    for (const auto& [name, found, expected] : finds) {
        int index = 0;
        EXPECT_EQ(graph.FindCurve(name, index), found) << name;
        EXPECT_EQ(index, expected) << name;
    }
}

TEST_F(GraphModelTest, CurveKeepsTheGivenLineAndCreationDefaults)
{
    graph.AddCurve("Dashed", 0x123456, 3, psDash, false);
    const TCurve* curve = graph.Curve(0);
    ASSERT_NE(curve, nullptr);
    EXPECT_EQ(curve->Color, 0x123456u);
    EXPECT_EQ(curve->PenWidth, 3);
    EXPECT_EQ(curve->PenStyle, psDash);
    EXPECT_FALSE(curve->Visible);
    EXPECT_EQ(curve->MarkerSize, 4);
    EXPECT_EQ(curve->LabelFont.Name(), "small font");
    EXPECT_EQ(graph.Curve(1), nullptr);
    EXPECT_EQ(graph.Curve(-1), nullptr);
}

TEST_F(GraphModelTest, DeletingACurveMovesTheLaterOnesDown)
{
    graph.AddCurve("A", clLime, 1, psSolid, true);
    graph.AddCurve("B", clLime, 1, psSolid, true);
    graph.DeleteCurve(2);
    graph.DeleteCurve(0);
    ASSERT_EQ(graph.CurveCount(), 1);
    EXPECT_EQ(graph.Curve(0)->Name, "B");
    try {
        graph.DeleteCurve(-1);
        FAIL() << "a negative index is a caller error";
    } catch (const EListError& error) {
        EXPECT_STREQ(error.what(), "List index out of bounds (-1)");
    }
    EXPECT_EQ(graph.CurveCount(), 1);
}

TEST_F(GraphModelTest, PointOperationsIgnoreBadIndexes)
{
    const int c = graph.AddCurve("Sinus", clLime, 1, psSolid, true);
    graph.AddPoint(-1, 1, 1);
    graph.AddPoint(1, 1, 1);
    graph.AddPoint(c, 1, 10);
    graph.AddPoint(c, 3, 30);
    graph.InsertPoint(c, 1, 2, 20);
    graph.InsertPoint(c, 3, 4, 40);
    graph.InsertPoint(c, -1, 0, 0);
    graph.InsertPoint(5, 0, 0, 0);
    graph.DeletePoint(c, 4);
    graph.DeletePoint(c, -1);
    graph.DeletePoint(1, 0);
    graph.SetPoint(c, 4, 0, 0);
    ASSERT_EQ(graph.Curve(c)->Points.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(graph.Curve(c)->Points[std::size_t(i)].X, i + 1.0);
        EXPECT_EQ(graph.Curve(c)->Points[std::size_t(i)].Y, (i + 1.0) * 10);
    }

    graph.DeletePoint(c, 0);
    EXPECT_EQ(graph.Curve(c)->Points.front().X, 2.0);
    const TCurvePoint more[] = {{5, 50}, {6, 60}};
    graph.AddPoints(c, more, 2);
    graph.AddPoints(7, more, 2);
    EXPECT_EQ(graph.Curve(c)->Points.size(), 5u);
    EXPECT_EQ(graph.Curve(c)->Points.back().Y, 60.0);
    graph.DeletePoint(c, 4);
    graph.DeletePoint(c, 3);
    try {
        graph.InsertPoint(c, 4, 0, 0);
        FAIL() << "inserting past the end is a caller error";
    } catch (const EListError& error) {
        EXPECT_STREQ(error.what(), "List index out of bounds (4)");
    }

    std::pair<double, double> untouched{-7, -8};
    graph.GetPoint(c, 3, untouched.first, untouched.second);
    graph.GetPoint(2, 0, untouched.first, untouched.second);
    EXPECT_EQ(untouched, std::pair(-7.0, -8.0));
}

TEST_F(GraphModelTest, OffsetsApplyWhenPointsAreReadOrSet)
{
    const int c = graph.AddCurve("Sinus", clLime, 1, psSolid, true);
    graph.AddPoint(c, 1, 2);
    graph.SetCurveYOffset(c, 10);
    graph.SetCurveXOffset(c, -1);
    std::pair<double, double> shown{-1, -1};
    graph.GetPoint(c, 0, shown.first, shown.second);
    EXPECT_EQ(shown, std::pair(0.0, 12.0));
    graph.SetPoint(c, 0, 7, 15);
    EXPECT_EQ(std::pair(graph.Curve(c)->Points[0].X, graph.Curve(c)->Points[0].Y), std::pair(8.0, 5.0));
    graph.InsertPoint(c, 0, 3, 3);
    EXPECT_EQ(graph.Curve(c)->Points[0].Y, 3.0);
    EXPECT_EQ(graph.GetCurveYOffset(c), 10.0);
    EXPECT_EQ(graph.GetCurveXOffset(3), 0.0);
    graph.SetCurveXOffset(3, 5);
}

TEST_F(GraphModelTest, LabelsAndMarkersAttachToExistingCurvesOnly)
{
    const int c = graph.AddCurve("Sinus", clLime, 1, psSolid, true);
    graph.AddLabel(c, 0, std::string(300, 'x'), clWhite, 2, -3);
    graph.AddMarker(c, 7, mkCross, clWhite);
    graph.AddLabel(1, 0, "lost", clWhite, 0, 0);
    graph.AddMarker(-1, 0, mkCircle, clWhite);
    ASSERT_EQ(graph.Curve(c)->Labels.size(), 1u);
    EXPECT_EQ(graph.Curve(c)->Labels[0].Text.size(), 255u);
    EXPECT_EQ(graph.Curve(c)->Labels[0].DY, -3);
    ASSERT_EQ(graph.Curve(c)->Markers.size(), 1u);
    EXPECT_EQ(graph.Curve(c)->Markers[0].PointIndex, 7);
}

TEST_F(GraphModelTest, PositionsSetThePixelLengthsAtOnce)
{
    graph.Positions().SetXAxisLeft(100);
    EXPECT_EQ(graph.XAxis().PixelLength(), 400 - 100 - 15);
    EXPECT_EQ(graph.YAxis().PixelLength(), 300 - 30 - 50);
    graph.Positions().SetYAxisTop(0);
    EXPECT_EQ(graph.YAxis().PixelLength(), 250);
}

TEST_F(GraphModelTest, LoadingCapturesTheHomeViewAndStartsRepainting)
{
    graph.BeginLoading();
    graph.SetBounds(0, 0, 969, 361);
    graph.XAxis().SetMin(20); // refused: the default Max is still 10
    graph.XAxis().SetMax(512);
    graph.YAxis().SetMax(256);
    graph.SetMouseMode(mmCursor);
    EXPECT_TRUE(graph.SizeChanged());
    graph.SetZoom(2);
    graph.Loaded();
    EXPECT_TRUE(graph.IsLoaded());
    EXPECT_EQ(graph.MouseMode(), mmNone);
    EXPECT_EQ(graph.HomeZoom(), 2.0);
    EXPECT_EQ(graph.XAxis().HomeMin(), -256.0);
    EXPECT_EQ(graph.XAxis().HomeMax(), 768.0);

    // A settings change now repaints: the paint takes up the new size.
    graph.Colors().SetTickColor(clWhite);
    EXPECT_FALSE(graph.SizeChanged());
    EXPECT_EQ(graph.BackBuffer().size(), QSize(969, 361));
    EXPECT_EQ(graph.XAxis().PixelLength(), 894);
}

TEST_F(GraphModelTest, GraphTitleRepaintsOnlyWhenItChanges)
{
    graph.SetBounds(0, 0, 500, 200);
    graph.SetGraphTitle("Graph-Title");
    EXPECT_TRUE(graph.SizeChanged());
    graph.SetGraphTitle(std::string(40, 'T'));
    EXPECT_FALSE(graph.SizeChanged());
    EXPECT_EQ(graph.GraphTitle(), std::string(32, 'T'));
    EXPECT_EQ(graph.BackBuffer().size(), QSize(500, 200));
}

TEST_F(GraphModelTest, ZoomIsLimitedByMaxZoom)
{
    graph.SetZoom(6);
    EXPECT_EQ(graph.CurrentZoom(), 1.0);
    EXPECT_EQ(graph.XAxis().Max(), 10.0);
    graph.SetZoom(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(graph.CurrentZoom(), 1.0);
    graph.SetZoom(0.5); // admitted by MaxZoom, but would leave no range
    EXPECT_EQ(graph.CurrentZoom(), 1.0);
    EXPECT_EQ(graph.XAxis().Min(), 0.0);

    graph.SetZoom(5);
    EXPECT_EQ(graph.CurrentZoom(), 5.0);
    EXPECT_DOUBLE_EQ(graph.XAxis().Max() - graph.XAxis().Min(), 26.0);
    EXPECT_DOUBLE_EQ(graph.YAxis().GetCenter(), 5.0);
    EXPECT_DOUBLE_EQ(graph.YAxis().Max() - graph.YAxis().Min(), 26.0);
}

TEST_F(GraphModelTest, ResetAxesRestoresTheHomeView)
{
    graph.BeginLoading();
    graph.XAxis().SetMax(512);
    graph.Loaded();
    graph.XAxis().Zoom(0.98);
    graph.XAxis().CenterOn(100);
    graph.XAxis().SetPanPixels(17);
    graph.YAxis().SetPanPixels(-3);
    graph.ResetAxes();
    EXPECT_EQ(std::pair(graph.XAxis().Min(), graph.XAxis().Max()), std::pair(0.0, 512.0));
    EXPECT_EQ(std::pair(graph.XAxis().PanPixels(), graph.YAxis().PanPixels()), std::pair(0, 0));
    EXPECT_EQ(graph.XAxis().ZoomBase(), 1.0);
}

TEST_F(GraphModelTest, LeftDoubleClickResetsTheAxes)
{
    graph.Loaded();
    graph.XAxis().CenterOn(100);
    // A right double click is two presses, each gliding to the point.
    QTest::mouseDClick(&graph, Qt::RightButton);
    QTest::mouseRelease(&graph, Qt::RightButton);
    EXPECT_NE(graph.XAxis().Min(), 0.0);
    EXPECT_DOUBLE_EQ(graph.XAxis().Max() - graph.XAxis().Min(), 10.0);
    QTest::mouseDClick(&graph, Qt::LeftButton);
    QTest::mouseRelease(&graph, Qt::LeftButton);
    EXPECT_EQ(std::pair(graph.XAxis().Min(), graph.XAxis().Max()), std::pair(0.0, 10.0));
}

TEST_F(GraphModelTest, MainWindowGraphMapsSensorPixelsAndReadings)
{
    graph.SetBounds(0, 0, 969, 361);
    graph.XAxis().SetMax(512);
    graph.YAxis().SetMax(256);
    graph.Paint();
    EXPECT_EQ(std::pair(graph.XAxis().PixelLength(), graph.YAxis().PixelLength()), std::pair(894, 281));
    EXPECT_EQ(std::vector<int>({graph.XToPixel(6), graph.XToPixel(512), graph.YToPixel(256), graph.YToPixel(0),
                                graph.YToPixel(128)}),
              std::vector<int>({70, 954, 30, 311, 171}));
    EXPECT_NEAR(graph.PixelToX(70), 6.0, graph.XAxis().UnitsPerPixel() / 2);
    EXPECT_NEAR(graph.PixelToY(171), 128.0, graph.YAxis().UnitsPerPixel() / 2 + 1e-9); // 140.5 rounded down
    EXPECT_EQ(graph.XToPixel(1e300), 1 << 30);
}

TEST_F(GraphModelTest, NotificationsReachTheGraphFromEverySettingsObject)
{
    graph.SetBounds(0, 0, 300, 200);
    graph.Loaded();
    graph.Fonts().SetAxisTitle(TFont("arial", 12, clBlack));
    EXPECT_FALSE(graph.SizeChanged());
    graph.SetBounds(0, 0, 320, 200);
    graph.XAxis().SetShowSubGrid(true);
    EXPECT_FALSE(graph.SizeChanged());
    EXPECT_EQ(graph.BackBuffer().width(), 320);
}

} // namespace

namespace {

TEST(FontTest, SizesConvertAtNinetySixPixelsPerInchAndEveryChangeReachesTheToolkitFont)
{
    TFont font("arial", 8, clMaroon);
    EXPECT_EQ(font.Height(), 11);
    EXPECT_EQ(font.Size(), 8);
    EXPECT_EQ(font.ToQFont().pixelSize(), 11);
    EXPECT_EQ(font.ToQFont().family(), "arial");

    font.SetHeight(17);
    EXPECT_EQ(font.ToQFont().pixelSize(), 17);
    EXPECT_EQ(font.Size(), 13);
    font.SetStyle({fsBold, fsItalic});
    EXPECT_TRUE(font.ToQFont().bold());
    EXPECT_TRUE(font.ToQFont().italic());
    EXPECT_FALSE(font.ToQFont().underline());

    TFont copy = font;
    EXPECT_EQ(copy, font);
    copy.SetName("Liberation Serif");
    copy.SetSize(10);
    EXPECT_EQ(copy.ToQFont().family(), "Liberation Serif");
    EXPECT_EQ(copy.ToQFont().pixelSize(), 13);
    EXPECT_EQ(font.ToQFont().family(), "arial");
    EXPECT_FALSE(copy == font);
}

} // namespace
