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

#include <tuple>

namespace {

// The window's spectrum graph under the operator's mouse. No controls are
// attached: only pan, glide, zoom and reset act, and new frames keep the view.
TEST(MainFormGraphMouse, DragGlideZoomAndResetActOnTheSpectrumAndNewFramesKeepTheView)
{
    TForm1 form;
    TXYGraph& graph = *form.XYGraph1;
    // The request for the next frame is empty, so it needs no open port.
    form.NewLine_CB->setChecked(false);
    form.Edit_Data->clear();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const auto newFrame = [&] {
        form.Log().Append(QByteArray("H1\r\nH2\r\nH3\r\nH4\r\nH5\r\n100\r\n200\r\ne"));
        form.ComPortRxFlag(form.ComPort.get());
    };
    const auto view = [&] {
        return std::tuple(graph.XAxis().Min(), graph.XAxis().Max(), graph.YAxis().Min(), graph.YAxis().Max(),
                          graph.XAxis().PanPixels(), graph.YAxis().PanPixels());
    };
    newFrame();
    EXPECT_EQ(graph.MouseMode(), mmNone);

    const QPoint start(500, 150);
    QTest::mousePress(&graph, Qt::LeftButton, {}, start);
    QTest::mouseMove(&graph, start + QPoint(30, 20));
    QTest::mouseRelease(&graph, Qt::LeftButton, {}, start + QPoint(30, 20));
    EXPECT_EQ(view(), std::tuple(0.0, 512.0, 0.0, 256.0, 30, -20));
    newFrame();
    EXPECT_EQ(view(), std::tuple(0.0, 512.0, 0.0, 256.0, 30, -20));

    // The right press glides the centre to the pressed point; the drag to
    // the right zooms in about it, to the left out again.
    const double x = graph.PixelToX(start.x());
    const double y = graph.PixelToY(start.y());
    QTest::mousePress(&graph, Qt::RightButton, {}, start);
    EXPECT_NEAR(graph.XAxis().GetCenter(), x, 1e-9);
    EXPECT_NEAR(graph.YAxis().GetCenter(), y, 1e-9);
    EXPECT_DOUBLE_EQ(graph.XAxis().Max() - graph.XAxis().Min(), 512);
    for (QPoint to : {QPoint(40, 0), QPoint(50, 3), QPoint(45, -3)})
        QTest::mouseMove(&graph, start + to);
    QTest::mouseRelease(&graph, Qt::RightButton, {}, start + QPoint(45, -3));
    const double spanFactor = (3 - 2 / 0.98) * (3 - 2 / 0.98) * (3 - 2 / 1.02);
    EXPECT_NEAR(graph.XAxis().Max() - graph.XAxis().Min(), 512 * spanFactor, 1e-9);
    EXPECT_NEAR(graph.YAxis().Max() - graph.YAxis().Min(), 256 * spanFactor, 1e-9);
    EXPECT_NEAR(graph.XAxis().GetCenter(), x, 1e-9);
    const auto zoomed = view();
    newFrame();
    EXPECT_EQ(view(), zoomed);

    // Plain motion and the middle button show nothing and paint nothing.
    const int paints = graph.PaintCount();
    QMouseEvent plain(QEvent::MouseMove, start, graph.mapToGlobal(start), Qt::NoButton, Qt::NoButton, {});
    QApplication::sendEvent(&graph, &plain);
    QTest::mousePress(&graph, Qt::MiddleButton, {}, start);
    QTest::mouseMove(&graph, start + QPoint(20, 20));
    QTest::mouseRelease(&graph, Qt::MiddleButton, {}, start + QPoint(20, 20));
    EXPECT_EQ(graph.PaintCount(), paints);
    EXPECT_EQ(view(), zoomed);
    EXPECT_FALSE(graph.CursorShown() || graph.CursorSaved());

    // A left double click restores the home view, as "Reset Axis" does.
    QTest::mouseClick(&graph, Qt::LeftButton, {}, start);
    QTest::mouseDClick(&graph, Qt::LeftButton, {}, start);
    QTest::mouseRelease(&graph, Qt::LeftButton, {}, start);
    EXPECT_EQ(view(), std::tuple(0.0, 512.0, 0.0, 256.0, 0, 0));
    EXPECT_EQ(graph.CurveCount(), 1);
}

} // namespace
