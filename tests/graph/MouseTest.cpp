#include "InteractionFixture.h"

#include <QLocale>
#include <QPaintEvent>
#include <QWindow>

#include <limits>

namespace {

using MouseTest = InteractionTest;
using Point = std::pair<double, double>;

// What one zoom step in and one out does to a span.
constexpr double ZoomIn = 3 - 2 / 0.98;
constexpr double ZoomOut = 3 - 2 / 1.02;

TEST_F(MouseTest, LeftDragPansTheViewPixelForPixelAndRepaintsOnEveryMove)
{
    std::vector<std::string> raised;
    const auto log = [&](const char* what, int x, TShiftState shift) {
        raised.push_back(what + std::to_string(x) + (shift.Contains(ssLeft) ? "L" : "") +
                         (shift.Contains(ssCtrl) ? "C" : "") + (shift.Contains(ssDouble) ? "D" : "") + " pan " +
                         std::to_string(graph.XAxis().PanPixels()));
    };
    graph.OnMouseDown = [&](TXYGraph*, TMouseButton, TShiftState shift, int x, int) { log("down ", x, shift); };
    graph.OnMouseMove = [&](TXYGraph*, TShiftState shift, int x, int) { log("move ", x, shift); };
    graph.OnMouseUp = [&](TXYGraph*, TMouseButton, TShiftState shift, int x, int) { log("up ", x, shift); };

    const QPoint start(200, 150);
    EXPECT_EQ(PaintsDuring([&] { Press(Qt::LeftButton, start, Qt::ControlModifier); }), 1);
    EXPECT_EQ(Outputs()[0], "Pan: Graph");
    EXPECT_FALSE(xOut.isEnabled());
    EXPECT_EQ(PaintsDuring([&] { Move(start + QPoint(10, 5)); Move(start + QPoint(30, 20)); }), 2);
    EXPECT_EQ(std::pair(graph.XAxis().PanPixels(), graph.YAxis().PanPixels()), std::pair(30, -20));
    EXPECT_EQ(PaintsDuring([&] { Release(Qt::LeftButton, start + QPoint(30, 20)); }), 0);
    EXPECT_EQ(raised, (std::vector<std::string>{"down 200LC pan 0", "move 210L pan 0", "move 230L pan 10", "up 230 pan 30"}));
    EXPECT_EQ(graph.XAxis().Min(), 0.0);

    // The toolkit's grab keeps the moves coming from outside the graph.
    QWindow* screen = window.windowHandle();
    QTest::mousePress(screen, Qt::LeftButton, {}, QPoint(300, 200));
    QTest::mouseMove(screen, QPoint(700, 450));
    QTest::mouseRelease(screen, Qt::LeftButton, {}, QPoint(700, 450));
    EXPECT_EQ(raised[raised.size() - 2], "move 700L pan 30");

    // A left double click resets the view, then is a press of its own; with
    // another button it is two presses only.
    raised.clear();
    graph.XAxis().SetPanPixels(30);
    for (Qt::MouseButton button : {Qt::RightButton, Qt::LeftButton}) {
        QTest::mouseClick(&graph, button, {}, start);
        QTest::mouseDClick(&graph, button, {}, start);
        QTest::mouseRelease(&graph, button, {}, start);
    }
    EXPECT_EQ(raised, (std::vector<std::string>{"down 200 pan 30", "up 200 pan 30", "down 200D pan 30", "up 200 pan 30",
                                                "down 200L pan 30", "up 200 pan 30", "down 200LD pan 0", "up 200 pan 0"}));
    EXPECT_EQ(mode.text(), "Pan: Graph");
}

TEST_F(MouseTest, RightDragZoomsInThirtyNineStepsAndOutFortyTwoFromHome)
{
    const QPoint centre = Pixel(256, 128);
    // Moves 50 times in the direction of dx; counts the moves that zoomed by
    // `factor` (and repainted once), the others changed nothing.
    const auto zoomSteps = [&](int dx, double factor) {
        int steps = 0;
        for (int i = 1; i <= 50; ++i) {
            const Point before = Spans();
            const int paints = PaintsDuring([&] { Move(centre + QPoint(i * dx, 0)); });
            const bool zoomed = Spans() != before;
            steps += zoomed;
            EXPECT_EQ(paints, zoomed ? 1 : 0);
            if (zoomed) {
                EXPECT_NEAR(Spans().first / before.first, factor, 1e-12);
            }
            EXPECT_NEAR(Spans().second * 2, Spans().first, 1e-9);
        }
        return steps;
    };
    EXPECT_EQ(PaintsDuring([&] { Press(Qt::RightButton, centre); }), 10);
    EXPECT_EQ(Outputs().mid(0, 3), QStringList({"Zoom: Aspect", "1.000", "1.000"}));
    EXPECT_EQ(zoomSteps(1, ZoomIn), 39);
    EXPECT_NEAR(512 / Spans().first, 5.08, 0.005);
    EXPECT_EQ(xOut.text(), "5.080");
    EXPECT_NEAR(graph.XAxis().GetCenter(), 256, 1e-9);
    Release(Qt::RightButton, centre);

    graph.ResetAxes();
    Press(Qt::RightButton, centre);
    EXPECT_EQ(zoomSteps(-1, ZoomOut), 42);
    EXPECT_NEAR(512 / Spans().first, 0.199, 0.0005);
}

TEST_F(MouseTest, AVerticalRightDragZoomsOnlyInFreeModeUpwardIn)
{
    const QPoint centre = Pixel(256, 128);
    Press(Qt::RightButton, centre);
    EXPECT_EQ(PaintsDuring([&] { Move(centre - QPoint(0, 5)); }), 0);
    EXPECT_EQ(Spans(), Point(512, 256));
    Release(Qt::RightButton, centre);

    graph.SetKeepAspect(false);
    EXPECT_EQ(PaintsDuring([&] { Press(Qt::RightButton, centre); }), 11);
    EXPECT_EQ(mode.text(), "Zoom: Free");
    const std::pair<QPoint, Point> moves[] = {{{0, -5}, {512, 256 * ZoomIn}},
                                              {{0, 5}, {512, 256 * ZoomIn * ZoomOut}},
                                              {{5, 5}, {512 * ZoomIn, 256 * ZoomIn * ZoomOut}}};
    for (const auto& [to, spans] : moves) {
        EXPECT_EQ(PaintsDuring([&] { Move(centre + to); }), 1);
        EXPECT_NEAR(Spans().first, spans.first, 1e-9);
        EXPECT_NEAR(Spans().second, spans.second, 1e-9);
    }
}

// Records the centres of both ranges at every complete picture shown.
class CentreRecorder : public QObject {
public:
    explicit CentreRecorder(TXYGraph& graph) : graph_(graph) { graph.installEventFilter(this); }
    std::vector<Point> Centres;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && static_cast<QPaintEvent*>(event)->rect() == graph_.rect())
            Centres.emplace_back(graph_.XAxis().GetCenter(), graph_.YAxis().GetCenter());
        return false;
    }

private:
    TXYGraph& graph_;
};

TEST_F(MouseTest, ARightClickGlidesTheCentreToThePointInTenPaintedSteps)
{
    CentreRecorder recorder(graph);
    Press(Qt::RightButton, Pixel(100, 50));
    Release(Qt::RightButton, Pixel(100, 50));
    ASSERT_EQ(recorder.Centres.size(), 10u);
    for (int i = 0; i < 10; ++i) {
        EXPECT_NEAR(recorder.Centres[std::size_t(i)].first, 256 - 15.6 * (i + 1), 1e-9) << i;
        EXPECT_NEAR(recorder.Centres[std::size_t(i)].second, 128 - 7.8 * (i + 1), 1e-9) << i;
    }
    EXPECT_EQ(Spans(), Point(512, 256));
}

TEST_F(MouseTest, APickIsStrictlyWithinTenPixelsAndALaterPointReplacesItOnlyWhenCloserOnOneAxis)
{
    graph.SetMouseMode(mmMove);
    const auto pickAmong = [&](const std::vector<TCurvePoint>& points) {
        graph.DeleteCurve(0);
        AddCurve("P", points);
        Move(Pixel(200, 100));
        return graph.CursorShown() ? graph.PickedPoint() : -1;
    };
    const std::pair<std::vector<TCurvePoint>, int> cases[] = {
        {{{209, 109}}, 0},           {{{191, 91}}, 0},           {{{210, 100}}, -1},
        {{{200, 90}}, -1},           {{{211, 100}}, -1},         {{{200, 111}}, -1},
        {{{205, 105}, {203, 108}}, 1}, {{{205, 105}, {208, 103}}, 1}, {{{205, 105}, {206, 109}}, 0},
        {{{205, 105}, {203, 110}}, 0}, {{{205, 105}, {203, 108}, {204, 104}}, 2},
    };
    for (const auto& [points, picked] : cases)
        EXPECT_EQ(pickAmong(points), picked) << points[0].X << " " << points.size();

    // Shift keeps the pick wherever the mouse goes; without it the pick goes.
    pickAmong({{200, 100}});
    Move(Pixel(400, 200), Qt::ShiftModifier);
    EXPECT_TRUE(graph.CursorShown() && graph.ShiftHeld());
    Move(Pixel(400, 200));
    EXPECT_FALSE(graph.CursorShown());
}

TEST_F(MouseTest, PlainMotionShowsThePickedPointsDetailsOnceAndOnlyMovesTheMark)
{
    graph.SetMouseMode(mmMove);
    AddCurve("Other", {{0, 0}});
    AddCurve("Peak", {{100, 100}, {200, 100}, {210, 110}}, 0x123456);
    const QPoint corner = Pixel(200, 100) - QPoint(3, 3);
    EXPECT_EQ(PaintsDuring([&] { Move(Pixel(202, 101)); }), 0);
    EXPECT_EQ(std::pair(graph.PickedCurve(), graph.PickedPoint()), std::pair(1, 1));
    EXPECT_EQ(std::pair(graph.ShownCurve(), graph.ShownPoint()), std::pair(1, 1));
    EXPECT_EQ(Outputs().mid(1), QStringList({"200.000", "100.000", "Peak", "1", "45.000"}));
    EXPECT_EQ(ColorShown(), qRgb(0x56, 0x34, 0x12));
    EXPECT_TRUE(xOut.isEnabled());
    EXPECT_EQ(graph.Surface().pixel(corner), qRgb(255, 255, 255));

    // The same pick writes nothing again; the last point keeps the angle.
    curveName.setText("kept");
    Move(Pixel(201, 100));
    EXPECT_EQ(curveName.text(), "kept");
    EXPECT_EQ(PaintsDuring([&] { Move(Pixel(210, 110)); }), 0);
    EXPECT_EQ(Outputs().mid(3), QStringList({"Peak", "2", "45.000"}));
    EXPECT_EQ(graph.Surface().pixel(corner), graph.BackBuffer().pixel(corner));

    // Nothing under the mouse clears the details.
    Move(Pixel(400, 200));
    EXPECT_EQ(Outputs(), QStringList({"Mouse: Position", "400.000", "200.000", "", "", ""}));
    EXPECT_EQ(ColorShown(), qRgb(0, 0, 0));
    EXPECT_FALSE(xOut.isEnabled() || graph.CursorSaved());

    // Back in mode none the first motion clears them once, through a pick
    // at the largest Integer, which must not overflow on its way to pixels.
    Move(Pixel(200, 100));
    graph.SetMouseMode(mmNone);
    Move(Pixel(200, 100));
    EXPECT_EQ(curveName.text(), "");
    EXPECT_EQ(graph.ShownPoint(), -1);
    for (int extreme : {std::numeric_limits<int>::max(), std::numeric_limits<int>::min()}) {
        graph.HoverPick(extreme, extreme);
        EXPECT_FALSE(graph.CursorShown());
    }
}

TEST_F(MouseTest, InsertDeleteAndMoveActWhereTheOperatorPointsWithAndWithoutOffsets)
{
    for (const Point& offset : {Point(0, 0), Point(30, -20)}) {
        SCOPED_TRACE(offset.first);
        graph.DeleteCurve(0);
        AddCurve("C", {{100, 100}, {200, 150}, {300, 100}});
        graph.SetCurveXOffset(0, offset.first);
        graph.SetCurveYOffset(0, offset.second);
        const auto [x0, y0] = Shown(0, 0);
        const auto [x1, y1] = Shown(0, 1);
        const auto click = [&](QPoint at) {
            Move(at + QPoint(1, 0));
            Move(at);
            Press(Qt::LeftButton, at);
            Release(Qt::LeftButton, at);
        };

        // Insert: the new point takes the picked one's index, where clicked.
        graph.SetMouseMode(mmInsert);
        const QPoint near1 = Pixel(x1 + 4, y1 + 3);
        EXPECT_EQ(PaintsDuring([&] { click(near1); }), 1);
        ASSERT_EQ(graph.Curve(0)->Points.size(), 4u);
        EXPECT_EQ(Shown(0, 1), Point(x1 + 4, y1 + 3));
        EXPECT_EQ(Shown(0, 2), Point(x1, y1));
        EXPECT_EQ(Point(graph.CursorX(), graph.CursorY()), Point(x1 + 4, y1 + 3));

        // Delete: the pick goes with the point; a second press deletes
        // nothing, not the point that took its index.
        graph.SetMouseMode(mmDelete);
        click(near1);
        Press(Qt::LeftButton, near1);
        Release(Qt::LeftButton, near1);
        ASSERT_EQ(graph.Curve(0)->Points.size(), 3u);
        EXPECT_EQ(Shown(0, 1), Point(x1, y1));
        EXPECT_FALSE(graph.CursorShown());

        // Move: the picked point follows the mouse; the view stays.
        graph.SetMouseMode(mmMove);
        Move(Pixel(x0, y0));
        Press(Qt::LeftButton, Pixel(x0, y0));
        EXPECT_EQ(mode.text(), "Edit: Move");
        EXPECT_EQ(PaintsDuring([&] { Move(Pixel(x0 + 10, y0 - 5)); }), 1);
        Release(Qt::LeftButton, Pixel(x0 + 10, y0 - 5));
        EXPECT_EQ(Shown(0, 0), Point(x0 + 10, y0 - 5));
        EXPECT_EQ(xOut.text(), QString::number(x0 + 10) + ".000");
        EXPECT_EQ(graph.XAxis().PanPixels(), 0);
    }
}

TEST_F(MouseTest, CursorModeShowsTheDistanceFromTheReferenceCursor)
{
    graph.SetMouseMode(mmCursor);
    EXPECT_EQ(PaintsDuring([&] { Press(Qt::LeftButton, Pixel(100, 50)); }), 1);
    EXPECT_EQ(Outputs().mid(0, 3), QStringList({"Mouse: Cursor", "0.000", "0.000"}));
    EXPECT_FALSE(graph.CursorShown());
    EXPECT_EQ(Point(graph.CursorX(), graph.CursorY()), Point(100, 50));
    EXPECT_EQ(graph.Surface().pixel(Pixel(100, 50)), qRgb(255, 255, 255));
    // The drag pans, and the content under the mouse stays the cursor's.
    Move(Pixel(130, 30));
    EXPECT_EQ(graph.XAxis().PanPixels(), 30);
    EXPECT_EQ(Outputs().mid(1, 2), QStringList({"0.000", "0.000"}));
    Release(Qt::LeftButton, Pixel(100, 50));
    EXPECT_EQ(PaintsDuring([&] { Move(Pixel(120, 60)); }), 0);
    EXPECT_EQ(Outputs().mid(1, 2), QStringList({"20.000", "10.000"}));

    // Out of the mode the next picture has no cross, and nothing saved from
    // under it is left to be put back on a later picture.
    graph.SetMouseMode(mmMove);
    graph.Paint();
    EXPECT_FALSE(graph.CursorSaved());
    EXPECT_EQ(graph.Surface(), graph.BackBuffer());
}

TEST_F(MouseTest, TickedCurvesFollowALeftDragInsteadOfTheView)
{
    TCheckListBox pan(&window);
    graph.Controls().SetPanListBox(&pan);
    for (const char* name : {"A", "B", "Hidden"})
        AddCurve(name, {{100, 100}});
    graph.Curve(2)->Visible = false;
    const auto tick = [&](bool checked) {
        for (int i : {0, 2})
            pan.item(i)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
        QCoreApplication::sendPostedEvents();
    };
    tick(true);
    EXPECT_TRUE(graph.PanCurves() && xOut.isEnabled());

    const QPoint start(300, 150);
    Press(Qt::LeftButton, start);
    EXPECT_EQ(mode.text(), "Pan: Curves");
    EXPECT_EQ(PaintsDuring([&] { Move(start + QPoint(30, 20)); }), 2);
    Release(Qt::LeftButton, start);
    EXPECT_EQ(Point(graph.GetCurveXOffset(0), graph.GetCurveYOffset(0)), Point(30, -20));
    EXPECT_EQ(graph.GetCurveXOffset(1) + graph.GetCurveXOffset(2), 0.0);
    EXPECT_EQ(Outputs().mid(1, 2), QStringList({"30.000", "-20.000"}));
    EXPECT_EQ(graph.XAxis().PanPixels(), 0);

    tick(false);
    Press(Qt::LeftButton, start);
    EXPECT_EQ(mode.text(), "Pan: Graph");
}

TEST_F(MouseTest, TypedCoordinatesMoveThePickedPointAndPlaceTheTickedCurves)
{
    QLineEdit xIn(&window);
    QLineEdit yIn(&window);
    TCheckListBox pan(&window);
    graph.Controls().SetXIn(&xIn);
    graph.Controls().SetYIn(&yIn);
    graph.Controls().SetPanListBox(&pan);
    AddCurve("A", {{100, 100}, {200, 100}});
    graph.SetMouseMode(mmMove);
    Move(Pixel(200, 100));
    const auto leave = [](QLineEdit& edit, const char* text) {
        edit.setText(QString::fromLatin1(text));
        QFocusEvent focusOut(QEvent::FocusOut);
        QApplication::sendEvent(&edit, &focusOut);
        QCoreApplication::sendPostedEvents();
    };
    leave(xIn, "3,5");
    leave(yIn, "abc");
    EXPECT_EQ(Shown(0, 1), Point(3.5, 100));
    EXPECT_EQ(xOut.text(), "3.500");

    pan.item(0)->setCheckState(Qt::Checked);
    yIn.setText(QStringLiteral("1.5e2"));
    QTest::keyClick(&yIn, Qt::Key_Return);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(graph.Curve(0)->Points[1].Y, 150.0);
    EXPECT_EQ(Point(graph.GetCurveXOffset(0), graph.GetCurveYOffset(0)), Point(0, 150));
}

TEST(ReadoutTest, NumbersAnglesAndTypedTexts)
{
    TXYGraph graph;
    QLabel x;
    QLabel angle;
    graph.Controls().SetXOut(&x);
    graph.Controls().SetAngle(&angle);
    const std::pair<double, const char*> numbers[] = {
        {12.5, "12.500"}, {-0.25, "-0.250"}, {1234567.891, "1234568.000"}, {12345678, "1.234568E7"}, {0, "0.000"}};
    for (const auto& [value, text] : numbers) {
        graph.ShowValues(value, 0);
        EXPECT_EQ(x.text(), text);
    }
    QLocale::setDefault(QLocale(QLocale::German));
    graph.ShowValues(12.5, 0);
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(x.text(), "12,500");
    graph.ShowAngle(-45);
    EXPECT_EQ(angle.text(), "-45.000");
    graph.ShowAngle(9.9e18);
    EXPECT_EQ(angle.text(), "");

    const std::pair<TCurvePoint, double> segments[] = {{{1, 1}, 45}, {{-1, 1}, 45}, {{1, -1}, -45}, {{0, 5}, 0}};
    for (const auto& [end, degrees] : segments)
        EXPECT_DOUBLE_EQ(TXYGraph::SegmentAngle(0, 0, end.X, end.Y), degrees) << end.X << " " << end.Y;

    const std::pair<const char*, double> readable[] = {
        {"3,5", 3.5}, {"1.5e2", 150}, {".", 0}, {"  -2", -2}, {"+.5E-1", 0.05}, {"7.", 7},
        {"12345678901234567890123456789012x", 12345678901234567890123456789012.0}};
    for (const auto& [text, expected] : readable) {
        double value = -1;
        EXPECT_TRUE(ParseDecimalText(text, value) && value == expected) << text;
    }
    for (const char* text : {"", "   ", "abc", "1,5,0", "1e", "1e+", "1 ", "1..2", "--1", "1e999", "0x10"}) {
        double value = -1;
        EXPECT_FALSE(ParseDecimalText(text, value) || value != -1) << text;
    }
}

} // namespace
