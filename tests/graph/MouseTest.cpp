#include "InteractionFixture.h"

#include <QLocale>
#include <QPaintEvent>
#include <QWindow>

#include <limits>

namespace {

using MouseTest = InteractionTest;

// What one zoom step in and one out does to a span.
constexpr double ZoomIn = 3 - 2 / 0.98;
constexpr double ZoomOut = 3 - 2 / 1.02;

TEST_F(MouseTest, LeftDragPansTheViewPixelForPixelAndRepaintsOnEveryMove)
{
    std::vector<std::string> raised;
    graph.OnMouseDown = [&](TXYGraph* sender, TMouseButton button, TShiftState shift, int x, int y) {
        EXPECT_EQ(sender, &graph);
        EXPECT_TRUE(button == mbLeft && shift.Contains(ssLeft) && shift.Contains(ssCtrl));
        raised.push_back("down " + std::to_string(x) + " " + std::to_string(y));
    };
    // Raised before the move is applied.
    graph.OnMouseMove = [&](TXYGraph*, TShiftState, int x, int) {
        raised.push_back("move " + std::to_string(x) + " pan " + std::to_string(graph.XAxis().PanPixels()));
    };
    graph.OnMouseUp = [&](TXYGraph*, TMouseButton, TShiftState, int, int) { raised.push_back("up"); };

    const QPoint start(200, 150);
    EXPECT_EQ(PaintsDuring([&] { Press(Qt::LeftButton, start, Qt::ControlModifier); }), 1);
    EXPECT_EQ(mode.text(), "Pan: Graph");
    EXPECT_FALSE(xOut.isEnabled());
    EXPECT_EQ(graph.XAxis().PanPixels(), 0);
    EXPECT_EQ(PaintsDuring([&] { Move(start + QPoint(10, 5)); Move(start + QPoint(30, 20)); }), 2);
    EXPECT_EQ(graph.XAxis().PanPixels(), 30);
    EXPECT_EQ(graph.YAxis().PanPixels(), -20);
    EXPECT_EQ(graph.XAxis().Min(), 0.0);
    EXPECT_EQ(PaintsDuring([&] { Release(Qt::LeftButton, start + QPoint(30, 20)); }), 0);
    EXPECT_EQ(raised, (std::vector<std::string>{"down 200 150", "move 210 pan 0", "move 230 pan 10", "up"}));
}

TEST_F(MouseTest, AHeldButtonKeepsTheMovesComingFromOutsideTheGraph)
{
    QPoint last;
    graph.OnMouseMove = [&](TXYGraph*, TShiftState, int x, int y) { last = {x, y}; };
    QWindow* screen = window.windowHandle();
    QTest::mousePress(screen, Qt::LeftButton, {}, QPoint(300, 200));
    QTest::mouseMove(screen, QPoint(700, 450));
    QTest::mouseRelease(screen, Qt::LeftButton, {}, QPoint(700, 450));
    EXPECT_EQ(last, QPoint(700, 450));
}

TEST_F(MouseTest, RightDragZoomsInThirtyNineStepsAndOutFortyTwoFromHome)
{
    const QPoint centre = Pixel(256, 128);
    const auto span = [&] { return graph.XAxis().Max() - graph.XAxis().Min(); };
    // Each step of `steps` moves, in the direction of `dx`; counts the ones
    // that zoomed, which repaint.
    const auto zoomSteps = [&](int dx, double factor) {
        int steps = 0;
        for (int i = 1; i <= 50; ++i) {
            const double before = span();
            const int paints = PaintsDuring([&] { Move(centre + QPoint(i * dx, 0)); });
            if (span() != before) {
                ++steps;
                EXPECT_NEAR(span() / before, factor, 1e-12);
                EXPECT_NEAR((graph.YAxis().Max() - graph.YAxis().Min()) * 2, span(), 1e-9);
            }
            EXPECT_EQ(paints, span() != before ? 1 : 0);
        }
        return steps;
    };
    EXPECT_EQ(PaintsDuring([&] { Press(Qt::RightButton, centre); }), 10);
    EXPECT_EQ(mode.text(), "Zoom: Aspect");
    EXPECT_EQ(xOut.text(), "1.000");
    EXPECT_EQ(zoomSteps(1, ZoomIn), 39);
    EXPECT_NEAR(512 / span(), 5.08, 0.005);
    EXPECT_EQ(xOut.text(), "5.080");
    EXPECT_NEAR(graph.XAxis().GetCenter(), 256, 1e-9);
    Release(Qt::RightButton, centre);

    graph.ResetAxes();
    Press(Qt::RightButton, centre);
    EXPECT_EQ(zoomSteps(-1, ZoomOut), 42);
    EXPECT_NEAR(512 / span(), 0.199, 0.0005);
}

TEST_F(MouseTest, AVerticalRightDragZoomsOnlyInFreeModeUpwardIn)
{
    const QPoint centre = Pixel(256, 128);
    const auto spans = [&] {
        return std::pair(graph.XAxis().Max() - graph.XAxis().Min(), graph.YAxis().Max() - graph.YAxis().Min());
    };
    Press(Qt::RightButton, centre);
    EXPECT_EQ(PaintsDuring([&] { Move(centre - QPoint(0, 5)); }), 0);
    EXPECT_EQ(spans(), std::pair(512.0, 256.0));
    Release(Qt::RightButton, centre);

    graph.SetKeepAspect(false);
    EXPECT_EQ(PaintsDuring([&] { Press(Qt::RightButton, centre); }), 11);
    EXPECT_EQ(mode.text(), "Zoom: Free");
    EXPECT_EQ(PaintsDuring([&] { Move(centre - QPoint(0, 5)); }), 1);
    EXPECT_EQ(spans().first, 512.0);
    EXPECT_NEAR(spans().second, 256 * ZoomIn, 1e-9);
    Move(centre + QPoint(0, 5));
    EXPECT_NEAR(spans().second, 256 * ZoomIn * ZoomOut, 1e-9);
    Move(centre + QPoint(5, 5));
    EXPECT_NEAR(spans().first, 512 * ZoomIn, 1e-9);
    EXPECT_NEAR(spans().second, 256 * ZoomIn * ZoomOut, 1e-9);
}

// Records the centres of both ranges at every complete picture shown.
class CentreRecorder : public QObject {
public:
    explicit CentreRecorder(TXYGraph& graph) : graph_(graph) { graph.installEventFilter(this); }
    std::vector<std::pair<double, double>> Centres;

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
    EXPECT_DOUBLE_EQ(graph.XAxis().Max() - graph.XAxis().Min(), 512);
    EXPECT_DOUBLE_EQ(graph.YAxis().Max() - graph.YAxis().Min(), 256);
}

TEST_F(MouseTest, ALeftDoubleClickRestoresTheHomeViewAndIsAPressToo)
{
    std::vector<TShiftState> presses;
    graph.OnMouseDown = [&](TXYGraph*, TMouseButton, TShiftState shift, int, int) { presses.push_back(shift); };
    graph.XAxis().SetPanPixels(40);
    graph.XAxis().Zoom(0.98);
    DoubleClick(Qt::RightButton, Pixel(256, 128));
    EXPECT_EQ(presses.size(), 2u);
    EXPECT_EQ(graph.XAxis().PanPixels(), 40);

    DoubleClick(Qt::LeftButton, Pixel(256, 128));
    ASSERT_EQ(presses.size(), 4u);
    EXPECT_TRUE(presses.back().Contains(ssDouble));
    EXPECT_FALSE(presses[2].Contains(ssDouble));
    EXPECT_EQ(graph.XAxis().PanPixels(), 0);
    EXPECT_EQ(graph.XAxis().Max(), 512.0);
    EXPECT_EQ(mode.text(), "Pan: Graph");
}

TEST_F(MouseTest, InModeNoneMotionShowsThePositionAndTheMiddleButtonDoesNothing)
{
    EXPECT_EQ(PaintsDuring([&] { Move(QPoint(50, 300)); }), 0);
    EXPECT_EQ(mode.text(), "Mouse: Position");
    EXPECT_EQ(xOut.text(), "-10.000");
    EXPECT_EQ(yOut.text(), "-14.000");
    EXPECT_EQ(PaintsDuring([&] {
        Press(Qt::MiddleButton, QPoint(100, 100));
        Move(QPoint(150, 150));
        Release(Qt::MiddleButton, QPoint(150, 150));
    }), 0);
    EXPECT_EQ(graph.XAxis().PanPixels(), 0);
    EXPECT_FALSE(graph.CursorShown());
    EXPECT_FALSE(graph.CursorSaved());
}

TEST_F(MouseTest, APickIsStrictlyWithinTenPixelsAndALaterPointReplacesItOnlyWhenCloserOnOneAxis)
{
    graph.SetMouseMode(mmMove);
    const QPoint mouse = Pixel(200, 100);
    const auto pickAmong = [&](std::initializer_list<TCurvePoint> points) {
        graph.DeleteCurve(0);
        AddCurve("P", points);
        Move(mouse);
        return graph.CursorShown() ? graph.PickedPoint() : -1;
    };
    struct Case {
        std::initializer_list<TCurvePoint> Points;
        int Picked;
    };
    const Case cases[] = {
        {{{209, 109}}, 0},           {{{191, 91}}, 0},           {{{210, 100}}, -1},
        {{{200, 90}}, -1},           {{{211, 100}}, -1},         {{{200, 111}}, -1},
        {{{205, 105}, {203, 108}}, 1}, {{{205, 105}, {208, 103}}, 1}, {{{205, 105}, {206, 109}}, 0},
        {{{205, 105}, {203, 110}}, 0}, {{{205, 105}, {203, 108}, {204, 104}}, 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pickAmong(c.Points), c.Picked) << c.Points.begin()->X << " " << c.Points.size();

    // Shift keeps the pick wherever the mouse goes; without it the pick goes.
    pickAmong({{200, 100}});
    Move(Pixel(400, 200), Qt::ShiftModifier);
    EXPECT_TRUE(graph.CursorShown());
    EXPECT_TRUE(graph.ShiftHeld());
    Move(Pixel(400, 200));
    EXPECT_FALSE(graph.CursorShown());
}

TEST_F(MouseTest, PlainMotionShowsThePickedPointsDetailsOnceAndOnlyMovesTheMark)
{
    graph.SetMouseMode(mmMove);
    AddCurve("Other", {{0, 0}});
    AddCurve("Peak", {{100, 100}, {200, 100}, {210, 110}}, 0x123456);
    EXPECT_EQ(PaintsDuring([&] { Move(Pixel(202, 101)); }), 0);
    EXPECT_EQ(std::pair(graph.PickedCurve(), graph.PickedPoint()), std::pair(1, 1));
    EXPECT_EQ(std::pair(graph.ShownCurve(), graph.ShownPoint()), std::pair(1, 1));
    EXPECT_EQ(curveName.text(), "Peak");
    EXPECT_EQ(item.text(), "1");
    EXPECT_EQ(Background(color), 0x123456u);
    EXPECT_EQ(angle.text(), "45.000");
    EXPECT_EQ(xOut.text(), "200.000");
    EXPECT_EQ(yOut.text(), "100.000");
    EXPECT_TRUE(xOut.isEnabled());
    EXPECT_EQ(graph.Surface().pixel(Pixel(200, 100) - QPoint(3, 3)), qRgb(255, 255, 255));

    // The same pick writes nothing again; the last point keeps the angle.
    curveName.setText("kept");
    Move(Pixel(201, 100));
    EXPECT_EQ(curveName.text(), "kept");
    EXPECT_EQ(PaintsDuring([&] { Move(Pixel(210, 110)); }), 0);
    EXPECT_EQ(item.text(), "2");
    EXPECT_EQ(angle.text(), "45.000");
    EXPECT_EQ(graph.Surface().pixel(Pixel(200, 100) - QPoint(3, 3)), graph.BackBuffer().pixel(Pixel(200, 100) - QPoint(3, 3)));

    // Nothing under the mouse clears the details.
    Move(Pixel(400, 200));
    EXPECT_EQ(curveName.text(), "");
    EXPECT_EQ(item.text(), "");
    EXPECT_EQ(angle.text(), "");
    EXPECT_EQ(Background(color), clBlack);
    EXPECT_EQ(mode.text(), "Mouse: Position");
    EXPECT_FALSE(xOut.isEnabled());
    EXPECT_FALSE(graph.CursorSaved());

    // Back in mode none the first motion clears them once, through a pick
    // at the largest Integer, which must not overflow on its way to pixels.
    Move(Pixel(200, 100));
    graph.SetMouseMode(mmNone);
    Move(Pixel(200, 100));
    EXPECT_EQ(curveName.text(), "");
    EXPECT_EQ(graph.ShownPoint(), -1);
    EXPECT_FALSE(graph.CursorShown());
    for (int extreme : {std::numeric_limits<int>::max(), std::numeric_limits<int>::min()}) {
        graph.HoverPick(extreme, extreme);
        EXPECT_FALSE(graph.CursorShown());
    }
}

TEST_F(MouseTest, InsertDeleteAndMoveActWhereTheOperatorPointsWithAndWithoutOffsets)
{
    for (const TCurvePoint offset : {TCurvePoint{0, 0}, TCurvePoint{30, -20}}) {
        SCOPED_TRACE(offset.X);
        graph.DeleteCurve(0);
        AddCurve("C", {{100, 100}, {200, 150}, {300, 100}});
        graph.SetCurveXOffset(0, offset.X);
        graph.SetCurveYOffset(0, offset.Y);
        const TCurvePoint p0 = Shown(0, 0);
        const TCurvePoint p1 = Shown(0, 1);

        // Insert: the new point takes the picked one's index, where clicked.
        graph.SetMouseMode(mmInsert);
        const QPoint click = Pixel(p1.X + 4, p1.Y + 3);
        Move(click);
        ASSERT_EQ(graph.PickedPoint(), 1);
        EXPECT_EQ(PaintsDuring([&] { Press(Qt::LeftButton, click); }), 1);
        Release(Qt::LeftButton, click);
        ASSERT_EQ(graph.Curve(0)->Points.size(), 4u);
        EXPECT_EQ(Shown(0, 1).X, p1.X + 4);
        EXPECT_EQ(Shown(0, 1).Y, p1.Y + 3);
        EXPECT_EQ(Shown(0, 2).X, p1.X);
        EXPECT_EQ(graph.CursorX(), p1.X + 4);

        // Delete: the pick goes with the point; a second press deletes
        // nothing, not the point that took its index.
        graph.SetMouseMode(mmDelete);
        Move(click + QPoint(1, 0));
        Move(click);
        ASSERT_EQ(graph.PickedPoint(), 1);
        Press(Qt::LeftButton, click);
        Release(Qt::LeftButton, click);
        Press(Qt::LeftButton, click);
        Release(Qt::LeftButton, click);
        ASSERT_EQ(graph.Curve(0)->Points.size(), 3u);
        EXPECT_EQ(Shown(0, 1).X, p1.X);
        EXPECT_FALSE(graph.CursorShown());

        // Move: the picked point follows the mouse; the view stays.
        graph.SetMouseMode(mmMove);
        Move(Pixel(p0.X, p0.Y));
        Press(Qt::LeftButton, Pixel(p0.X, p0.Y));
        EXPECT_EQ(mode.text(), "Edit: Move");
        EXPECT_EQ(PaintsDuring([&] { Move(Pixel(p0.X + 10, p0.Y - 5)); }), 1);
        Release(Qt::LeftButton, Pixel(p0.X + 10, p0.Y - 5));
        EXPECT_EQ(Shown(0, 0).X, p0.X + 10);
        EXPECT_EQ(Shown(0, 0).Y, p0.Y - 5);
        EXPECT_EQ(xOut.text(), QString::number(p0.X + 10) + ".000");
        EXPECT_EQ(graph.XAxis().PanPixels(), 0);
    }
}

TEST_F(MouseTest, CursorModeShowsTheDistanceFromTheReferenceCursor)
{
    graph.SetMouseMode(mmCursor);
    EXPECT_EQ(PaintsDuring([&] { Press(Qt::LeftButton, Pixel(100, 50)); }), 1);
    EXPECT_EQ(mode.text(), "Mouse: Cursor");
    EXPECT_EQ(xOut.text(), "0.000");
    EXPECT_FALSE(graph.CursorShown());
    EXPECT_EQ(std::pair(graph.CursorX(), graph.CursorY()), std::pair(100.0, 50.0));
    EXPECT_EQ(graph.Surface().pixel(Pixel(100, 50)), qRgb(255, 255, 255));
    // The drag pans, and the content under the mouse is the cursor's.
    Move(Pixel(130, 30));
    EXPECT_EQ(graph.XAxis().PanPixels(), 30);
    EXPECT_EQ(xOut.text(), "0.000");
    EXPECT_EQ(yOut.text(), "0.000");
    Release(Qt::LeftButton, Pixel(100, 50));
    EXPECT_EQ(PaintsDuring([&] { Move(Pixel(120, 60)); }), 0);
    EXPECT_EQ(xOut.text(), "20.000");
    EXPECT_EQ(yOut.text(), "10.000");

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
    AddCurve("A", {{100, 100}});
    AddCurve("B", {{200, 100}});
    AddCurve("Hidden", {{300, 100}});
    graph.Curve(2)->Visible = false;
    pan.item(0)->setCheckState(Qt::Checked);
    pan.item(2)->setCheckState(Qt::Checked);
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(graph.PanCurves());
    EXPECT_TRUE(xOut.isEnabled());

    const QPoint start(300, 150);
    Press(Qt::LeftButton, start);
    EXPECT_EQ(mode.text(), "Pan: Curves");
    EXPECT_EQ(PaintsDuring([&] { Move(start + QPoint(30, 20)); }), 2);
    EXPECT_EQ(std::pair(graph.GetCurveXOffset(0), graph.GetCurveYOffset(0)), std::pair(30.0, -20.0));
    EXPECT_EQ(graph.GetCurveXOffset(1) + graph.GetCurveXOffset(2), 0.0);
    EXPECT_EQ(xOut.text(), "30.000");
    EXPECT_EQ(yOut.text(), "-20.000");
    EXPECT_EQ(graph.XAxis().PanPixels(), 0);
    Release(Qt::LeftButton, start);

    for (int i : {0, 2})
        pan.item(i)->setCheckState(Qt::Unchecked);
    QCoreApplication::sendPostedEvents();
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
    EXPECT_EQ(Shown(0, 1).X, 3.5);
    EXPECT_EQ(xOut.text(), "3.500");
    leave(yIn, "abc");
    EXPECT_EQ(Shown(0, 1).Y, 100.0);

    pan.item(0)->setCheckState(Qt::Checked);
    yIn.setText(QStringLiteral("1.5e2"));
    QTest::keyClick(&yIn, Qt::Key_Return);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(graph.Curve(0)->Points[1].Y, 150.0);
    EXPECT_EQ(graph.GetCurveYOffset(0), 150.0);
    EXPECT_EQ(graph.GetCurveXOffset(0), 0.0);
}

TEST(ReadoutTest, NumbersAnglesAndTypedTexts)
{
    TXYGraph graph;
    QLabel x;
    QLabel y;
    graph.Controls().SetXOut(&x);
    graph.Controls().SetYOut(&y);
    graph.Controls().SetAngle(&y);
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
    graph.ShowAngle(9.9e18);
    EXPECT_EQ(y.text(), "");
    graph.ShowAngle(-45);
    EXPECT_EQ(y.text(), "-45.000");

    const std::pair<TCurvePoint, double> segments[] = {{{1, 1}, 45}, {{-1, 1}, 45}, {{1, -1}, -45}, {{0, 5}, 0}};
    for (const auto& [end, degrees] : segments)
        EXPECT_DOUBLE_EQ(TXYGraph::SegmentAngle(0, 0, end.X, end.Y), degrees) << end.X << " " << end.Y;

    const std::pair<const char*, double> readable[] = {
        {"3,5", 3.5}, {"1.5e2", 150}, {".", 0}, {"  -2", -2}, {"+.5E-1", 0.05}, {"7.", 7},
        {"12345678901234567890123456789012x", 12345678901234567890123456789012.0}};
    for (const auto& [text, expected] : readable) {
        double value = -1;
        EXPECT_TRUE(ParseDecimalText(text, value)) << text;
        EXPECT_DOUBLE_EQ(value, expected) << text;
    }
    for (const char* text : {"", "   ", "abc", "1,5,0", "1e", "1e+", "1 ", "1..2", "--1", "1e999", "0x10"}) {
        double value = -1;
        EXPECT_FALSE(ParseDecimalText(text, value)) << text;
        EXPECT_EQ(value, -1) << text;
    }
}

} // namespace
