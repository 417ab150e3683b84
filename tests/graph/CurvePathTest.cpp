#include "graph/Canvas.h"
#include "graph/CurvePath.h"
#include "graph/Hairline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>

namespace {

constexpr QRgb White = 0xFFFFFFFF;

QImage Blank(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    return image;
}

TEST(HairlineTest, LinesLeaveOutTheirEndPointInEveryDirection)
{
    const QPoint ends[] = {{10, 0}, {-10, 0}, {0, 10}, {0, -10}, {7, 7}, {-7, -7}, {7, -3}, {-3, 7}, {2, -9}};
    for (const QPoint& d : ends) {
        SCOPED_TRACE(QString("%1,%2").arg(d.x()).arg(d.y()).toStdString());
        QImage image = Blank(40, 40);
        DrawHairline(image, image.rect(), White, 20, 20, 20 + d.x(), 20 + d.y());
        EXPECT_EQ(image.pixel(20, 20), White);
        EXPECT_NE(image.pixel(20 + d.x(), 20 + d.y()), White);
        int count = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x)
                count += image.pixel(x, y) == White;
        EXPECT_EQ(count, std::max(std::abs(d.x()), std::abs(d.y())));
    }
    QImage image = Blank(10, 10);
    DrawHairline(image, image.rect(), White, 5, 5, 5, 5);
    EXPECT_NE(image.pixel(5, 5), White);
}

TEST(HairlineTest, ClippedLinesDrawExactlyTheirPixelsInsideTheClip)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> coordinate(-60, 160);
    const QRect clip(20, 30, 45, 25);
    // Slanted lines first, then horizontal and vertical ones.
    for (int n = 0; n < 800; ++n) {
        const int x0 = coordinate(random), y0 = coordinate(random);
        int x1 = coordinate(random), y1 = coordinate(random);
        if (n >= 500 && n % 2 == 0)
            y1 = y0;
        if (n >= 500 && n % 2 == 1)
            x1 = x0;
        QImage clipped = Blank(100, 100);
        DrawHairline(clipped, clip, White, x0, y0, x1, y1);
        QImage whole = Blank(300, 300);
        DrawHairline(whole, whole.rect(), White, x0 + 100, y0 + 100, x1 + 100, y1 + 100);
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x) {
                const bool expected = clip.contains(x, y) && whole.pixel(x + 100, y + 100) == White;
                ASSERT_EQ(clipped.pixel(x, y) == White, expected)
                    << x0 << "," << y0 << " -> " << x1 << "," << y1 << " at " << x << "," << y;
            }
    }
}

TEST(HairlineTest, FarEndPointsCostOnlyTheVisiblePixels)
{
    QImage image = Blank(50, 50);
    DrawHairline(image, image.rect(), White, -1000000000, 25, 1000000000, 25);
    DrawHairline(image, image.rect(), White, 10, -2000000000, 10, 2000000000);
    for (const QPoint& end : {QPoint(0, 25), QPoint(49, 25), QPoint(10, 0), QPoint(10, 49)})
        EXPECT_EQ(image.pixel(end), White) << end.x() << "," << end.y();
}

// A plot of 300 x 200 pixels inside a 340 x 240 image, x 0..100 and
// y 0..50 as in the graph.
TPixelMapping PlotMapping()
{
    TPixelMapping mapping;
    mapping.XMin = 0;
    mapping.XScale = 3.0;
    mapping.XBase = 20;
    mapping.YMin = 0;
    mapping.YScale = 4.0;
    mapping.YBase = 220;
    return mapping;
}

QImage Draw(const TCurve& curve, const TPixelMapping& mapping, bool reduceColumns, std::size_t* vertexCount = nullptr)
{
    TCurvePath path;
    path.Build(curve, mapping, reduceColumns);
    if (vertexCount)
        *vertexCount = path.Vertices().size();
    QImage image = Blank(340, 240);
    TCanvas canvas(image);
    canvas.SetClip({20, 20, 321, 221});
    canvas.SetPen(0xFFFFFF);
    const QPoint* run = path.Vertices().data();
    for (int length : path.RunLengths()) {
        canvas.Polyline(run, length);
        run += length;
    }
    return image;
}

QImage Draw(const TCurve& curve, bool reduceColumns, std::size_t* vertexCount = nullptr)
{
    return Draw(curve, PlotMapping(), reduceColumns, vertexCount);
}

TCurve MakeCurve(int count, const std::function<TCurvePoint(int, std::mt19937&)>& point)
{
    std::mt19937 random(11);
    TCurve curve;
    for (int i = 0; i < count; ++i)
        curve.Points.push_back(point(i, random));
    return curve;
}

TEST(CurvePathTest, ColumnReductionDrawsTheSamePixelsAsEverySegment)
{
    std::normal_distribution<double> noise(0.0, 3.0);
    std::uniform_real_distribution<double> anywhere(-20.0, 120.0);
    const std::vector<std::pair<const char*, TCurve>> cases = {
        {"monotone", MakeCurve(20000, [&](int i, std::mt19937& r) {
             return TCurvePoint{i / 200.0, 25 + 20 * std::sin(i / 700.0) + noise(r)};
         })},
        {"steps", MakeCurve(20000, [](int i, std::mt19937&) {
             return TCurvePoint{i / 200.0, double((i / 37) % 5 * 10)};
         })},
        {"random x", MakeCurve(5000, [&](int, std::mt19937& r) {
             return TCurvePoint{anywhere(r), anywhere(r) / 2};
         })},
        {"back and forth", MakeCurve(20000, [&](int i, std::mt19937& r) {
             return TCurvePoint{50 + 40 * std::sin(i / 300.0), 25 + noise(r)};
         })},
        {"far outside", MakeCurve(20000, [&](int i, std::mt19937& r) {
             const double far = i % 97 == 0 ? 1e9 : (i % 89 == 0 ? -1e15 : 0.0);
             return TCurvePoint{i / 200.0, 25 + far + 10 * noise(r)};
         })},
        {"one column", MakeCurve(3000, [&](int i, std::mt19937& r) {
             return TCurvePoint{50.0 + (i % 1000 == 0 ? 0.2 : 0.0), 25 + 5 * noise(r)};
         })},
        {"few per column, short runs", MakeCurve(20000, [&](int i, std::mt19937& r) {
             const double level = double(r() % 4);
             return TCurvePoint{i / 7.0 / 3.0, i % 13 == 0 ? std::nan("") : 20 + level / 4.0};
         })},
        {"gaps", MakeCurve(20000, [&](int i, std::mt19937& r) {
             return TCurvePoint{i / 200.0, i % 1500 == 0 ? std::nan("") : 25 + noise(r)};
         })},
    };
    for (const auto& [name, curve] : cases) {
        std::size_t reducedCount = 0;
        std::size_t fullCount = 0;
        const QImage reduced = Draw(curve, true, &reducedCount);
        const QImage full = Draw(curve, false, &fullCount);
        EXPECT_EQ(reduced, full) << name;
        EXPECT_LE(reducedCount, fullCount) << name;
    }
    std::size_t reducedCount = 0;
    Draw(cases[0].second, true, &reducedCount);
    EXPECT_LT(reducedCount, 1300u); // four per column, the last column whole
}

// The column summary is kept from one drawing to the next; whatever changed
// in between, the reduced picture is still that of every segment.
TEST(CurvePathTest, KeptColumnSummaryFollowsEveryChange)
{
    std::mt19937 random(5);
    std::normal_distribution<double> noise(0.0, 3.0);
    // Every `glitchEvery`th point lies three pixels back, which a search
    // that takes x as sorted would miss.
    double x = 0;
    const auto append = [&](TCurve& curve, int count, double step, int glitchEvery = 0) {
        for (int i = 1; i <= count; ++i) {
            x += step;
            const bool glitch = glitchEvery && i % glitchEvery == 0;
            curve.Points.push_back({glitch ? x - 0.7 : x, 25 + noise(random)});
        }
    };
    TCurve curve;
    append(curve, 20000, 1 / 200.0);
    TPixelMapping mapping = PlotMapping();
    const std::vector<std::pair<const char*, std::function<void()>>> steps = {
        {"first drawing", [] {}},
        {"drawn again", [] {}},
        {"panned sideways", [&] { mapping.XBase += 37; }},
        {"panned up, y scaled", [&] {
             mapping.YBase -= 11;
             mapping.YScale = 2.5;
         }},
        {"y offset", [&] { curve.YOffset = 4; }},
        {"appended in the last column", [&] { append(curve, 3, 1e-6); }},
        {"appended", [&] { append(curve, 5000, 1 / 150.0); }},
        {"x offset", [&] { curve.XOffset = 0.37; }},
        {"zoomed", [&] {
             mapping.XMin = -7;
             mapping.XScale = 4.5;
         }},
        {"point changed", [&] {
             curve.Points[7000].Y = 300;
             curve.Columns.Invalidate();
         }},
        {"points removed", [&] {
             curve.Points.resize(9000);
             curve.Columns.Invalidate();
             x = curve.Points.back().X;
         }},
        {"appended backwards", [&] { append(curve, 4000, -1 / 300.0); }},
        {"appended with glitches", [&] { append(curve, 9000, 1 / 100.0, 13); }},
    };
    for (const auto& [name, step] : steps) {
        step();
        std::size_t reducedCount = 0;
        std::size_t fullCount = 0;
        EXPECT_EQ(Draw(curve, mapping, true, &reducedCount), Draw(curve, mapping, false, &fullCount)) << name;
        EXPECT_TRUE(curve.Columns.Usable()) << name;
        EXPECT_LT(reducedCount * 4, fullCount) << name;
    }
}

TEST(CurvePathTest, OffsetsMoveThePointsAndNonNumbersBreakTheLine)
{
    TCurve curve;
    curve.Points = {{0, 0}, {10, 10}, {std::nan(""), 5}, {20, 0}, {30, 0}, {std::numeric_limits<double>::infinity(), 1}};
    curve.XOffset = 1;
    curve.YOffset = -1;
    TCurvePath path;
    path.Build(curve, PlotMapping(), false);
    EXPECT_EQ(path.RunLengths(), (std::vector<int>{2, 2}));
    EXPECT_EQ(path.Vertices(), (std::vector<QPoint>{{23, 224}, {53, 184}, {83, 224}, {113, 224}}));
}

TEST(CurvePathTest, SegmentsBeyondTheGuardAreCutWhereTheyCrossIt)
{
    TCurve curve;
    curve.Points = {{0, 25}, {1e12, 25}, {1e12, 1e12}, {2e12, -1e12}, {50, 25}};
    TCurvePath path;
    path.Build(curve, PlotMapping(), false);
    const int guard = int(TCurvePath::Guard);
    ASSERT_EQ(path.RunLengths(), (std::vector<int>{2, 2}));
    EXPECT_EQ(path.Vertices()[0], QPoint(20, 120));
    EXPECT_EQ(path.Vertices()[1], QPoint(guard, 120));
    EXPECT_EQ(path.Vertices()[3], QPoint(170, 120));
    EXPECT_LE(std::abs(path.Vertices()[2].x()), guard);
    EXPECT_LE(std::abs(path.Vertices()[2].y()), guard);
}

} // namespace
