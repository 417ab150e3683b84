#include "app/AcquisitionGraphLayout.h"
#include "graph/Canvas.h"
#include "graph/Graph.h"
#include "synthetic_spectrum/SyntheticSpectrum.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <iterator>
#include <vector>

namespace {

constexpr TColor Tick = 0x0000FF;
constexpr TColor Plot = 0x400000;
constexpr TColor MainGrid = 0x808080;
constexpr TColor SubGrid = 0x00FFFF;
constexpr TColor Line = 0xFF00FF;
constexpr TColor MarkColor = 0x00FF00;

// Plot area of the main window's graph: columns 60 to 954, rows 30 to 311
// with the edge lines; main ticks every 179 columns or so and every 56 rows.
constexpr int Left = 60;
constexpr int Right = 954;
constexpr int Top = 30;
constexpr int Bottom = 311;

TColor At(const QImage& image, int x, int y)
{
    const QRgb rgb = image.pixel(x, y);
    return TColor(qRed(rgb)) | TColor(qGreen(rgb)) << 8 | TColor(qBlue(rgb)) << 16;
}

// Bounding box of the pixels in `area` (inside the frame) that differ from
// `background`.
QRect InkBox(const QImage& image, const QRect& area, TColor background)
{
    const QRect inside = area & image.rect().adjusted(2, 2, -2, -2);
    QRect box;
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            if (At(image, x, y) != background)
                box |= QRect(x, y, 1, 1);
    return box;
}

// Bounding box of the pixels of one colour.
QRect ColorBox(const QImage& image, const QRect& area, TColor color)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (At(image, x, y) == color)
                box |= QRect(x, y, 1, 1);
    return box;
}

struct Probe {
    int x;
    int y;
    TColor color;
};

void ExpectPixels(const QImage& image, std::initializer_list<Probe> probes)
{
    for (const Probe& p : probes)
        EXPECT_EQ(At(image, p.x, p.y), p.color) << p.x << "," << p.y;
}

int CountColor(const QImage& image, TColor color)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += At(image, x, y) == color;
    return count;
}

class PaintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        LoadSpectrumGraphSettings(graph, TGraphPlacement::WindowBounds);
        graph.Colors().SetTickColor(Tick);
        graph.Colors().SetGraphBkGnd(Plot);
        graph.Colors().SetMainGridColor(MainGrid);
        graph.Colors().SetSubGridColor(SubGrid);
    }

    const QImage& Painted()
    {
        graph.Paint();
        return graph.BackBuffer();
    }

    // What drawing every segment of the curve gives: the picture without
    // the curve, then one polyline through all of its points.
    QImage EverySegment(int c)
    {
        TCurve& curve = *graph.Curve(c);
        curve.Visible = false;
        QImage image = Painted().copy();
        curve.Visible = true;
        std::vector<QPoint> pixels;
        for (int i = 0; i < int(curve.Points.size()); ++i) {
            double x = 0;
            double y = 0;
            graph.GetPoint(c, i, x, y);
            pixels.emplace_back(graph.XToPixel(x), graph.YToPixel(y));
        }
        const TPositions& margins = graph.Positions();
        TCanvas canvas(image);
        canvas.SetClip({margins.XAxisLeft(), margins.YAxisTop(), graph.width() - margins.XAxisRight() + 1,
                        graph.height() - margins.YAxisBottom() + 1});
        canvas.SetPen(curve.Color, curve.PenWidth, curve.PenStyle);
        canvas.Polyline(pixels.data(), int(pixels.size()));
        return image;
    }

    int AddLine(std::initializer_list<TCurvePoint> points)
    {
        const int c = graph.AddCurve("Line", Line, 1, psSolid, true);
        for (const TCurvePoint& p : points)
            graph.AddPoint(c, p.X, p.Y);
        return c;
    }

    TXYGraph graph;
};

TEST_F(PaintTest, DefaultGraphIsAPlotAreaInSilverMarginsWithAGreyAndWhiteFrame)
{
    TXYGraph plain;
    plain.Paint();
    ASSERT_EQ(plain.BackBuffer().size(), QSize(400, 300));
    // Column 385 is the right edge line.
    ExpectPixels(plain.BackBuffer(), {{0, 0, clGray}, {399, 299, clGray}, {0, 150, clGray}, {200, 299, clGray},
                                      {1, 1, clWhite}, {398, 298, clWhite}, {398, 150, clWhite}, {2, 2, clSilver},
                                      {390, 150, clSilver}, {70, 100, clBlack}, {384, 249, clBlack},
                                      {385, 100, clBlack}, {386, 100, clSilver}});
}

TEST_F(PaintTest, MainTicksSubTicksGridAndEdgeLinesOfBothAxes)
{
    const QImage& image = Painted();
    for (int x : {239, 418, 596, 775}) {
        SCOPED_TRACE(x);
        ExpectPixels(image, {{x, Top, Plot}, {x, Top + 1, MainGrid}, {x, Bottom - 1, MainGrid}, {x, Bottom, Plot},
                             {x, Bottom + 1, Tick}, {x, Bottom + 9, Tick}});
    }
    for (int y : {86, 142, 199, 255}) {
        SCOPED_TRACE(y);
        ExpectPixels(image, {{Left, y, Plot}, {Left - 1, y, Tick}, {Left - 9, y, Tick}, {Left + 1, y, MainGrid},
                             {Right - 1, y, MainGrid}, {Right, y, Plot}});
    }
    // Edge lines have ticks but no grid; a sub tick is five pixels long on
    // the X axis, its first one under the edge line, and four on the Y axis.
    ExpectPixels(image, {{Left, 100, Plot}, {Left, Bottom + 1, Tick}, {Right, 100, Plot}, {Right, Bottom + 1, Tick},
                         {Right + 1, 100, clSilver}, {Right, Bottom, Plot}, {Right + 1, Bottom, clSilver},
                         {Left - 1, Top - 1, clSilver}, {Left, Top - 1, clSilver}, {100, Top, Plot},
                         {100, Bottom, Plot}, {Left - 1, Top, Tick}, {Left - 1, Bottom, Tick},
                         {918, Bottom, Plot}, {918, Bottom + 4, Tick}, {918, Bottom + 5, clSilver}, {918, 100, Plot},
                         {917, Bottom + 2, clSilver}, {Left - 4, 41, Tick}, {Left - 5, 41, clSilver},
                         {100, 41, Plot}});

    graph.XAxis().SetShowSubGrid(true);
    graph.YAxis().SetShowSubGrid(true);
    ExpectPixels(Painted(), {{918, Top, Plot}, {918, 100, SubGrid}, {100, 41, SubGrid}, {Right - 1, 41, SubGrid},
                             {Right, 41, Plot}});
}

TEST_F(PaintTest, ScaleLabelsSitCentredUnderXTicksAndBesideYTicks)
{
    const QImage& image = Painted();
    for (int x : {Left, 239, 418, 596, 775, Right}) {
        const QRect box = InkBox(image, QRect(x - 25, Bottom + 11, 51, 18), clSilver);
        ASSERT_FALSE(box.isEmpty()) << x;
        EXPECT_LE(box.top(), Bottom + 14) << x;
        EXPECT_NEAR((box.left() + box.right()) / 2.0, x, 2.5) << x;
    }
    for (int y : {Top, 86, 142, 199, 255, Bottom}) {
        const QRect box = InkBox(image, QRect(20, y - 8, Left - 10 - 20, 17), clSilver);
        ASSERT_FALSE(box.isEmpty()) << y;
        EXPECT_LE(box.right(), Left - 10) << y;
        EXPECT_GE(box.right(), Left - 14) << y;
        EXPECT_NEAR((box.top() + box.bottom()) / 2.0, y, 2.5) << y;
    }
    // "0" is the narrowest label, "512" and "205" are wider.
    const int zeroWidth = InkBox(image, QRect(Left - 25, Bottom + 11, 51, 18), clSilver).width();
    const int fullWidth = InkBox(image, QRect(Right - 25, Bottom + 11, 40, 18), clSilver).width();
    EXPECT_LT(zeroWidth, fullWidth);
}

TEST_F(PaintTest, TitlesAreCentredOrPlacedWhereAsked)
{
    // Above the plot area, right of the Y scale labels.
    const QRect titleArea(Left, 2, Right - Left, Top - 2);
    QRect title = InkBox(Painted(), titleArea, clSilver);
    ASSERT_FALSE(title.isEmpty());
    EXPECT_NEAR((title.left() + title.right()) / 2.0, 969 / 2, 3);
    EXPECT_GE(title.top(), 5);

    graph.Positions().SetTitleLeft(100);
    title = InkBox(Painted(), titleArea, clSilver);
    EXPECT_NEAR(title.left(), 100, 3);

    graph.SetGraphTitle("");
    EXPECT_TRUE(InkBox(Painted(), titleArea, clSilver).isEmpty());

    // The X title in the bottom margin, centred on the plot area; the Y
    // title turned, in the left margin, centred on the plot's height.
    const QRect xTitle = InkBox(graph.BackBuffer(), QRect(2, 361 - 20, 965, 18), clSilver);
    EXPECT_NEAR((xTitle.left() + xTitle.right()) / 2.0, (Left + Right) / 2.0, 4);
    const QRect yTitle = InkBox(graph.BackBuffer(), QRect(2, Top, 18, Bottom - Top), clSilver);
    EXPECT_GT(yTitle.height(), yTitle.width());
    EXPECT_NEAR((yTitle.top() + yTitle.bottom()) / 2.0, (Top + Bottom) / 2.0, 4);
    EXPECT_GE(yTitle.left(), 5);
}

TEST_F(PaintTest, CurveLinesLeaveOutTheirEndPointAndAreClippedJustBeyondThePlotArea)
{
    const int segment = AddLine({{100, 100}, {200, 100}});
    const QImage& image = Painted();
    const int y = graph.YToPixel(100), x0 = graph.XToPixel(100), x1 = graph.XToPixel(200);
    ExpectPixels(image, {{x0 - 1, y, Plot}, {x0, y, Line}, {x1 - 1, y, Line}, {x1, y, Plot}});
    EXPECT_EQ(CountColor(image, Line), x1 - x0);

    graph.DeleteCurve(segment);
    AddLine({{-100, 128}, {700, 128}});
    AddLine({{256, -100}, {256, 400}});
    Painted();
    const int row = graph.YToPixel(128), column = graph.XToPixel(256);
    ExpectPixels(image, {{Left - 1, row, clSilver}, {Left, row, Line}, {Right, row, Line}, {Right + 1, row, clSilver},
                         {column, Top - 1, clSilver}, {column, Top, Line}, {column, Bottom, Line},
                         {column, Bottom + 1, clSilver}});
}

TEST_F(PaintTest, ValuesFarOutsideTheRangeStillDrawTheirVisiblePart)
{
    AddLine({{256, 128}, {256e12, 128e12}, {-1e300, 5}, {std::nan(""), 7}, {300, 200}, {400, 200}});
    const QImage& image = Painted();
    // The slope from (256, 128) towards the far point is kept: 140.5 pixels
    // up for every 447 to the right. After the point that is not a number
    // the line starts afresh.
    const int x = graph.XToPixel(256), y = graph.YToPixel(128);
    ExpectPixels(image, {{x, y, Line}, {x + 100, y - 31, Line}, {x + 100, y - 30, Plot}, {x + 100, y - 32, Plot},
                         {graph.XToPixel(350), graph.YToPixel(200), Line}});
}

TEST_F(PaintTest, InvisibleAndEmptyCurvesDrawNothingNotEvenLabelsAndMarkers)
{
    const int hidden = graph.AddCurve("Hidden", Line, 1, psSolid, false);
    graph.AddPoint(hidden, 100, 100);
    graph.AddPoint(hidden, 200, 150);
    graph.AddMarker(hidden, 0, mkSquare, MarkColor);
    graph.AddLabel(hidden, 1, "Hidden", MarkColor, 0, 0);
    const int empty = graph.AddCurve("Empty", Line, 1, psSolid, true);
    graph.AddMarker(empty, 0, mkSquare, MarkColor);
    EXPECT_EQ(CountColor(Painted(), Line), 0);
    EXPECT_EQ(CountColor(graph.BackBuffer(), MarkColor), 0);
}

TEST_F(PaintTest, MarkersAreDrawnAroundTheirPointsAndSkippedForMissingPoints)
{
    const int c = AddLine({{100, 100}, {200, 100}, {300, 100}});
    graph.AddMarker(c, 0, mkSquare, MarkColor);
    graph.AddMarker(c, 1, mkCross, MarkColor);
    graph.AddMarker(c, 2, mkCircle, MarkColor);
    graph.AddMarker(c, 3, mkSquare, MarkColor);
    graph.AddMarker(c, -1, mkSquare, MarkColor);
    graph.AddMarker(c, 0, 7, MarkColor);
    const QImage& image = Painted();

    const int sx = graph.XToPixel(100), cx = graph.XToPixel(200), ex = graph.XToPixel(300), y = graph.YToPixel(100);
    EXPECT_EQ(ColorBox(image, QRect(sx - 8, y - 8, 17, 17), MarkColor), QRect(sx - 4, y - 4, 9, 9));
    EXPECT_EQ(ColorBox(image, QRect(ex - 8, y - 8, 17, 17), MarkColor), QRect(ex - 4, y - 4, 10, 10));
    // The square's corners and sides, the cross's arms, the circle's inside.
    ExpectPixels(image, {{sx + 4, y - 4, MarkColor}, {sx - 4, y + 4, MarkColor}, {sx + 4, y + 3, MarkColor},
                         {sx + 4, y + 4, MarkColor}, {sx - 4, y - 4, MarkColor}, {sx - 4, y, MarkColor},
                         {sx, y + 4, MarkColor}, {sx, y - 3, Plot}, {sx, y, Line}, {cx, y, MarkColor},
                         {cx - 3, y - 3, MarkColor}, {cx + 3, y + 3, MarkColor}, {cx + 4, y + 4, Plot},
                         {cx + 3, y - 3, MarkColor}, {cx - 3, y + 3, MarkColor}, {cx - 4, y + 4, Plot},
                         {ex + 1, y + 2, Plot}});

    // Square (32 pixels) + cross (14) + circle; nothing for the others.
    EXPECT_LT(CountColor(image, MarkColor), 32 + 14 + 40);
}

TEST_F(PaintTest, LabelsAreDrawnBesideTheirPointsInTheirColour)
{
    graph.XAxis().SetShowMainGrid(false);
    graph.YAxis().SetShowMainGrid(false);
    const int c = AddLine({{100, 100}, {300, 100}});
    graph.AddLabel(c, 1, "Peak", MarkColor, 5, -20);
    graph.AddLabel(c, 9, "Lost", MarkColor, 5, 20);
    const QImage& image = Painted();
    const int x = graph.XToPixel(300), y = graph.YToPixel(100);
    const QRect ink = InkBox(image, QRect(x, y - 25, 60, 22), Plot);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GE(ink.left(), x + 5);
    EXPECT_LE(ink.left(), x + 8);
    // Glyphs are smoothed: their pixels mix the label's green into the plot
    // colour.
    int greenest = 0;
    for (int py = ink.top(); py <= ink.bottom(); ++py)
        for (int px = ink.left(); px <= ink.right(); ++px)
            greenest = std::max(greenest, qGreen(image.pixel(px, py)));
    EXPECT_GT(greenest, 128);
    EXPECT_TRUE(InkBox(image, QRect(x, y + 2, 60, 30), Plot).isEmpty());
}

TEST_F(PaintTest, CurvesLongerThanASixteenBitBufferDrawToTheirEnd)
{
    const int c = graph.AddCurve("Long", Line, 1, psSolid, true);
    for (int i = 0; i < 20000; ++i)
        graph.AddPoint(c, 6 + 500.0 * i / 19999, i < 19000 ? 50 : 200);
    ExpectPixels(Painted(), {{graph.XToPixel(500), graph.YToPixel(200), Line},
                             {graph.XToPixel(100), graph.YToPixel(50), Line}});
}

// A long curve is drawn from what is kept of it per pixel column; every
// change of its points, offsets, pen or the view must show.
TEST_F(PaintTest, LongCurvesDrawAsEverySegmentAfterEveryChange)
{
    const std::vector<TCurvePoint> spectrum = SyntheticSpectrum(20000, 3);
    const std::size_t half = spectrum.size() / 2;
    int c = graph.AddCurve("Long", Line, 1, psSolid, true);
    const std::vector<std::pair<const char*, std::function<void()>>> steps = {
        {"added point by point", [&] {
             for (std::size_t i = 0; i < half; ++i)
                 graph.AddPoint(c, spectrum[i].X, spectrum[i].Y);
         }},
        {"added in one call", [&] { graph.AddPoints(c, spectrum.data() + half, spectrum.size() - half); }},
        {"point moved", [&] { graph.SetPoint(c, 7000, 190, 250); }},
        {"point inserted out of order", [&] { graph.InsertPoint(c, 12000, 300, 5); }},
        {"moved point deleted", [&] { graph.DeletePoint(c, 7000); }},
        {"x offset", [&] { graph.SetCurveXOffset(c, 3.3); }},
        {"y offset", [&] { graph.SetCurveYOffset(c, -20); }},
        {"zoomed", [&] { graph.SetZoom(0.9); }},
        {"panned", [&] {
             graph.XAxis().SetPanPixels(13);
             graph.YAxis().SetPanPixels(-9);
         }},
        {"panned past a main tick", [&] { graph.XAxis().SetPanPixels(400); }},
        {"range changed", [&] { graph.XAxis().SetMin(100); }},
        {"reset", [&] { graph.ResetAxes(); }},
        {"resized", [&] { graph.SetBounds(0, 0, 800, 300); }},
        {"margin changed", [&] { graph.Positions().SetXAxisLeft(90); }},
        {"dashed", [&] { graph.Curve(c)->PenStyle = psDash; }},
        {"solid again, another colour", [&] {
             graph.Curve(c)->PenStyle = psSolid;
             graph.Curve(c)->Color = MarkColor;
         }},
        {"replaced", [&] {
             graph.DeleteCurve(c);
             c = graph.AddCurve("Long", Line, 1, psSolid, true);
             for (const TCurvePoint& point : spectrum)
                 graph.AddPoint(c, point.X + 1, point.Y / 2);
         }},
    };
    for (const auto& [name, step] : steps) {
        step();
        const QImage painted = Painted().copy();
        EXPECT_EQ(painted, EverySegment(c)) << name;
    }
}

TEST_F(PaintTest, ResizingRecomputesTheScaleAtTheNextPaint)
{
    graph.SetBounds(0, 0, 600, 300);
    EXPECT_EQ(graph.XAxis().PixelLength(), 894);
    const QImage& image = Painted();
    EXPECT_EQ(graph.XAxis().PixelLength(), 525);
    EXPECT_EQ(graph.YAxis().PixelLength(), 220);
    EXPECT_EQ(image.size(), QSize(600, 300));
    ExpectPixels(image, {{585, 100, Plot}, {586, 100, clSilver}});
}

TEST_F(PaintTest, SurfaceShowsThePictureAndTheCursorMarkOnTop)
{
    graph.SetCursorX(256);
    graph.SetCursorY(128);
    graph.SetCursorShown(true);
    graph.Paint();
    const int x = graph.XToPixel(256), y = graph.YToPixel(128);
    const QImage& surface = graph.Surface();
    EXPECT_EQ(graph.CursorRect(), (TRect{x - 3, y - 3, x + 4, y + 4}));
    for (int d = -3; d <= 3; ++d)
        ExpectPixels(surface, {{x + d, y - 3, clWhite}, {x + d, y + 3, clWhite}, {x - 3, y + d, clWhite},
                               {x + 3, y + d, clWhite}});
    ExpectPixels(surface, {{x, y, Plot}, {x + 4, y + 4, Plot}});
    EXPECT_EQ(At(graph.BackBuffer(), x - 3, y - 3), Plot);

    // Moving the mark puts back what was under it.
    graph.SetCursorX(300);
    graph.DrawCursorMark();
    EXPECT_EQ(At(surface, x - 3, y - 3), Plot);
    graph.RestoreCursorBackground();
    EXPECT_FALSE(graph.CursorSaved());
    EXPECT_EQ(graph.Surface(), graph.BackBuffer());
}

TEST_F(PaintTest, CursorModeDrawsADiagonalCrossClippedToThePlotArea)
{
    graph.SetMouseMode(mmCursor);
    graph.SetCursorX(256);
    graph.SetCursorY(128);
    graph.Paint();
    const int x = graph.XToPixel(256), y = graph.YToPixel(128);
    for (int d = -2; d <= 3; ++d)
        ExpectPixels(graph.Surface(), {{x + d, y + d, clWhite}, {x - d + 1, y + d, clWhite}});
    ExpectPixels(graph.Surface(), {{x - 3, y - 3, Plot}, {x + 4, y + 4, Plot}});

    graph.SetCursorX(0);
    graph.SetCursorY(256);
    graph.DrawCursorMark();
    ExpectPixels(graph.Surface(), {{Left - 1, Top - 1, clSilver}, {Left + 1, Top + 1, clWhite}});
}

TEST_F(PaintTest, PaintEnteredAgainWhileItRunsEndsWithTheSamePicture)
{
    const int c = graph.AddCurve("Spectrum", Line, 1, psSolid, true);
    for (const TCurvePoint& point : SyntheticSpectrum(507, 1))
        graph.AddPoint(c, point.X, point.Y);
    graph.SetBounds(0, 0, 800, 300);
    graph.Paint();
    const QImage expected = graph.BackBuffer().copy();

    int nested = 0;
    graph.SetBounds(0, 0, 969, 361);
    graph.Paint();
    QMetaObject::invokeMethod(
        &graph, [&] { ++nested; graph.Paint(); }, Qt::QueuedConnection);
    graph.SetBounds(0, 0, 800, 300);
    graph.Paint();
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(graph.BackBuffer(), expected);
    EXPECT_EQ(graph.Surface(), expected);
}

} // namespace

namespace {

// Texts drawn from kept layouts, in fonts that take turns and also once a
// font's store was emptied for holding too many, look and measure exactly
// as texts laid out anew.
TEST(CanvasTextTest, KeptLayoutsDrawAndMeasureTextsAsFreshOnes)
{
    TFont scale("small fonts", 0, clWhite);
    scale.SetHeight(12);
    TFont title("arial", 0, clWhite, {fsBold});
    title.SetHeight(17);
    const TFont fonts[] = {scale, title, TFont("small font", 7, clWhite)};
    // Each font on a row of its own; the widths in drawing order.
    const auto draw = [&](TTextLayouts* layouts, const QString& text, std::vector<int>& widths) {
        QImage image(320, 120, QImage::Format_RGB32);
        image.fill(Qt::black);
        TCanvas canvas(image, layouts);
        for (int row = 0; row < int(std::size(fonts)); ++row) {
            canvas.SetFont(fonts[row]);
            canvas.TextOut(3, 4 + 40 * row, text);
            widths.push_back(canvas.TextWidth(text));
        }
        return image;
    };
    QStringList texts{"0", "154", "-12.34", "Spectrogram", QString::fromLatin1("Wellenl\xe4nge (z.Z. Sensor-Pixel)"),
                      "AV Wij", ""};
    for (int i = 0; i < 600; ++i)
        texts << QString::number(i * 0.25, 'f', 2);
    TTextLayouts layouts;
    for (int round = 0; round < 2; ++round)
        for (const QString& text : texts) {
            std::vector<int> fresh;
            std::vector<int> kept;
            ASSERT_EQ(draw(nullptr, text, fresh), draw(&layouts, text, kept)) << text.toStdString();
            ASSERT_EQ(fresh, kept) << text.toStdString();
        }
}

} // namespace
