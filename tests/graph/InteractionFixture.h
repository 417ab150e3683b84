#pragma once

#include "graph/Graph.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

// A graph whose plot area is 512 x 256 pixels for x 0 to 512 and y 0 to
// 256: one unit per pixel, so that distances in tests are exact. Every
// output is attached to a real control; the window is shown offscreen.
class InteractionTest : public ::testing::Test {
protected:
    InteractionTest()
    {
        window.resize(900, 500);
        int top = 0;
        for (QWidget* output : std::initializer_list<QWidget*>{&xOut, &yOut, &mode, &curveName, &item, &color, &angle})
            output->setGeometry(600, top += 25, 200, 20);
        graph.BeginLoading();
        graph.SetBounds(0, 0, 587, 336);
        graph.XAxis().SetMax(512);
        graph.YAxis().SetMax(256);
        TControls& controls = graph.Controls();
        controls.SetXOut(&xOut);
        controls.SetYOut(&yOut);
        controls.SetMode(&mode);
        controls.SetCurve(&curveName);
        controls.SetItem(&item);
        controls.SetColor(&color);
        controls.SetAngle(&angle);
        graph.Loaded();
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        graph.Paint();
    }
    ~InteractionTest() override
    {
        for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
            if (held & button)
                Release(button, {});
    }

    // Control pixel of a world position.
    QPoint Pixel(double x, double y) const { return {graph.XToPixel(x), graph.YToPixel(y)}; }

    void Press(Qt::MouseButton button, QPoint at, Qt::KeyboardModifiers keys = {})
    {
        held |= button;
        QTest::mousePress(&graph, button, keys, at);
    }
    void Release(Qt::MouseButton button, QPoint at)
    {
        held &= ~button;
        QTest::mouseRelease(&graph, button, {}, at);
    }
    void Move(QPoint at, Qt::KeyboardModifiers keys = {})
    {
        QMouseEvent event(QEvent::MouseMove, at, graph.mapToGlobal(at), Qt::NoButton, held, keys);
        QApplication::sendEvent(&graph, &event);
    }
    void DoubleClick(Qt::MouseButton button, QPoint at)
    {
        QTest::mouseClick(&graph, button, {}, at);
        QTest::mouseDClick(&graph, button, {}, at);
        QTest::mouseRelease(&graph, button, {}, at);
    }
    // Repaints of the whole graph while `action` runs.
    template <typename Action>
    int PaintsDuring(Action&& action)
    {
        const int before = graph.PaintCount();
        action();
        return graph.PaintCount() - before;
    }
    int AddCurve(const char* name, std::initializer_list<TCurvePoint> points, TColor lineColor = clLime)
    {
        const int c = graph.AddCurve(name, lineColor, 1, psSolid, true);
        for (const TCurvePoint& p : points)
            graph.AddPoint(c, p.X, p.Y);
        return c;
    }
    TCurvePoint Shown(int curve, int point) const
    {
        TCurvePoint p{-1, -1};
        graph.GetPoint(curve, point, p.X, p.Y);
        return p;
    }
    static TColor Background(const QLabel& label)
    {
        const QColor c = label.palette().color(QPalette::Window);
        return TColor(c.red()) | TColor(c.green()) << 8 | TColor(c.blue()) << 16;
    }

    QWidget window;
    TXYGraph graph{&window};
    QLineEdit xOut{&window};
    QLabel yOut{&window};
    QLabel mode{&window};
    QLabel curveName{&window};
    QLabel item{&window};
    QLabel color{&window};
    QLabel angle{&window};
    Qt::MouseButtons held;
};
