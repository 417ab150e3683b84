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
        graph.BeginLoading();
        graph.SetBounds(0, 0, 587, 336);
        graph.XAxis().SetMax(512);
        graph.YAxis().SetMax(256);
        int position = 0;
        for (QWidget* output : std::initializer_list<QWidget*>{&xOut, &yOut, &mode, &curveName, &item, &color, &angle}) {
            output->setGeometry(600, 25 * position, 200, 20);
            graph.Controls().SetOutput(position++, output);
        }
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
    // Repaints of the whole graph while `action` runs.
    template <typename Action>
    int PaintsDuring(Action&& action)
    {
        const int before = graph.PaintCount();
        action();
        return graph.PaintCount() - before;
    }
    void AddCurve(const char* name, const std::vector<TCurvePoint>& points, TColor lineColor = clLime)
    {
        const int c = graph.AddCurve(name, lineColor, 1, psSolid, true);
        for (const TCurvePoint& p : points)
            graph.AddPoint(c, p.X, p.Y);
    }
    std::pair<double, double> Shown(int curve, int point) const
    {
        std::pair<double, double> p{-1, -1};
        graph.GetPoint(curve, point, p.first, p.second);
        return p;
    }
    std::pair<double, double> Spans()
    {
        return {graph.XAxis().Max() - graph.XAxis().Min(), graph.YAxis().Max() - graph.YAxis().Min()};
    }
    // The texts of the mode, value, curve, item and angle outputs.
    QStringList Outputs() const
    {
        return {mode.text(), xOut.text(), yOut.text(), curveName.text(), item.text(), angle.text()};
    }
    QRgb ColorShown() const { return color.palette().color(QPalette::Window).rgb(); }

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
