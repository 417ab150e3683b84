#include "AppTestSupport.h"

#include "app/ComMainForm.h"
#include "app/ReceiveLog.h"
#include "graph/Graph.h"
#include "serial/CPort.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// The spectrum graph of the window, as the operator uses it with the mouse:
// no controls are attached, so only pan, glide, zoom and reset act.
class MainFormGraphMouseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The request for the next frame is empty, so it needs no open port.
        form.NewLine_CB->setChecked(false);
        form.Edit_Data->clear();
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        NewFrame();
    }
    void NewFrame()
    {
        form.Log().Append(QByteArray("H1\r\nH2\r\nH3\r\nH4\r\nH5\r\n100\r\n200\r\ne"));
        form.ComPortRxFlag(form.ComPort.get());
        ASSERT_EQ(graph.CurveCount(), 1);
    }
    struct TView {
        double XMin, XMax, YMin, YMax;
        int XPan, YPan;
        bool operator==(const TView&) const = default;
    };
    TView View() const
    {
        return {graph.XAxis().Min(), graph.XAxis().Max(), graph.YAxis().Min(), graph.YAxis().Max(),
                graph.XAxis().PanPixels(), graph.YAxis().PanPixels()};
    }
    void PlainMove(QPoint at)
    {
        QMouseEvent event(QEvent::MouseMove, at, graph.mapToGlobal(at), Qt::NoButton, Qt::NoButton, {});
        QApplication::sendEvent(&graph, &event);
    }

    TForm1 form;
    TXYGraph& graph = *form.XYGraph1;
};

TEST_F(MainFormGraphMouseTest, DragPansGlideAndZoomFollowTheRightButtonAndNewFramesKeepTheView)
{
    EXPECT_EQ(graph.MouseMode(), mmNone);
    const QPoint start(500, 150);
    QTest::mousePress(&graph, Qt::LeftButton, {}, start);
    QTest::mouseMove(&graph, start + QPoint(30, 20));
    QTest::mouseRelease(&graph, Qt::LeftButton, {}, start + QPoint(30, 20));
    EXPECT_EQ(View(), (TView{0, 512, 0, 256, 30, -20}));
    NewFrame();
    EXPECT_EQ(View(), (TView{0, 512, 0, 256, 30, -20}));

    // The right press glides the centre to the pressed point, the drag to
    // the right zooms in about it, to the left out again.
    const double x = graph.PixelToX(start.x());
    const double y = graph.PixelToY(start.y());
    QTest::mousePress(&graph, Qt::RightButton, {}, start);
    EXPECT_NEAR(graph.XAxis().GetCenter(), x, 1e-9);
    EXPECT_NEAR(graph.YAxis().GetCenter(), y, 1e-9);
    EXPECT_DOUBLE_EQ(graph.XAxis().Max() - graph.XAxis().Min(), 512);
    QTest::mouseMove(&graph, start + QPoint(40, 0));
    QTest::mouseMove(&graph, start + QPoint(50, 3));
    QTest::mouseMove(&graph, start + QPoint(45, -3));
    QTest::mouseRelease(&graph, Qt::RightButton, {}, start + QPoint(45, -3));
    const double zoomIn = 3 - 2 / 0.98;
    const double zoomOut = 3 - 2 / 1.02;
    EXPECT_NEAR(graph.XAxis().Max() - graph.XAxis().Min(), 512 * zoomIn * zoomIn * zoomOut, 1e-9);
    EXPECT_NEAR(graph.YAxis().Max() - graph.YAxis().Min(), 256 * zoomIn * zoomIn * zoomOut, 1e-9);
    EXPECT_NEAR(graph.XAxis().GetCenter(), x, 1e-9);
    const TView zoomed = View();
    NewFrame();
    EXPECT_EQ(View(), zoomed);

    // Plain motion and the middle button show nothing and paint nothing.
    const int paints = graph.PaintCount();
    PlainMove(start);
    QTest::mousePress(&graph, Qt::MiddleButton, {}, start);
    QTest::mouseMove(&graph, start + QPoint(20, 20));
    QTest::mouseRelease(&graph, Qt::MiddleButton, {}, start + QPoint(20, 20));
    EXPECT_EQ(graph.PaintCount(), paints);
    EXPECT_EQ(View(), zoomed);
    EXPECT_FALSE(graph.CursorShown());
    EXPECT_FALSE(graph.CursorSaved());

    // A left double click restores the home view, as "Reset Axis" does.
    QTest::mouseClick(&graph, Qt::LeftButton, {}, start);
    QTest::mouseDClick(&graph, Qt::LeftButton, {}, start);
    QTest::mouseRelease(&graph, Qt::LeftButton, {}, start);
    EXPECT_EQ(View(), (TView{0, 512, 0, 256, 0, 0}));
    EXPECT_EQ(graph.CurveCount(), 1);
}

} // namespace
