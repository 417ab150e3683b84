#include "graph/Graph.h"
#include "graph_explorer/GraphExplorer.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace {

// Every attached control in the order of its group: outputs, edits,
// buttons, radio buttons, check boxes, check lists.
std::vector<QWidget*> Attached(const TControls& controls)
{
    std::vector<QWidget*> attached;
    const auto add = [&](auto reference, int count) {
        for (int i = 0; i < count; ++i)
            attached.push_back((controls.*reference)(i));
    };
    add(&TControls::Output, 7);
    add(&TControls::Edit, 2);
    add(&TControls::Button, 4);
    add(&TControls::RadioButton, 5);
    add(&TControls::CheckBox, 4);
    add(&TControls::CheckListBox, 2);
    return attached;
}

QRect InWindow(const QWidget& widget, const QWidget& window)
{
    return {widget.mapTo(&window, QPoint()), widget.size()};
}

TEST(GraphExplorerTest, AttachesAllControlsBesideTheGraphAndShowsTheCurvesAndHints)
{
    TGraphExplorer window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    TXYGraph& graph = window.Graph();
    const TControls& controls = graph.Controls();

    // Each control visible, inside the window, off the graph and off every other.
    const std::vector<QWidget*> attached = Attached(controls);
    ASSERT_EQ(attached.size(), 24u);
    for (std::size_t i = 0; i < attached.size(); ++i) {
        ASSERT_NE(attached[i], nullptr) << i;
        const QRect place = InWindow(*attached[i], window);
        EXPECT_TRUE(attached[i]->isVisible() && window.rect().contains(place)) << i;
        EXPECT_FALSE(place.intersects(graph.geometry())) << i;
        for (std::size_t j = 0; j < i; ++j)
            EXPECT_FALSE(place.intersects(InWindow(*attached[j], window))) << i << " and " << j;
    }
    EXPECT_EQ(graph.MouseMode(), mmNone);
    EXPECT_TRUE(controls.ModeNone()->isChecked());
    EXPECT_EQ(controls.HintPanel()->isChecked(), graph.HintPanel().isVisible());
    EXPECT_TRUE(graph.HintPanel().isVisible());
    EXPECT_EQ(graph.HintPanel().height(), int(graph.HintPanel().Lines().size()) * 14 + 4);

    // Three curves, listed in both lists; one is shown with offsets, labels and markers.
    ASSERT_EQ(graph.CurveCount(), 3);
    int decorated = 0;
    for (int c = 0; c < graph.CurveCount(); ++c) {
        const TCurve& curve = *graph.Curve(c);
        EXPECT_FALSE(curve.Points.empty());
        EXPECT_EQ(controls.ViewListBox()->item(c)->text().toStdString(), curve.Name);
        EXPECT_EQ(controls.PanListBox()->item(c)->text().toStdString(), curve.Name);
        EXPECT_TRUE(controls.ViewListBox()->Checked(c) && !controls.PanListBox()->Checked(c));
        decorated += curve.XOffset != 0 && curve.YOffset != 0 && !curve.Labels.empty() && !curve.Markers.empty();
    }
    EXPECT_EQ(decorated, 1);

    // Wired through: in move mode, hovering over a labelled point shows it.
    controls.ModeMove()->click();
    ASSERT_EQ(graph.MouseMode(), mmMove);
    for (int c = 0; c < graph.CurveCount(); ++c) {
        const TCurve& curve = *graph.Curve(c);
        if (curve.Labels.empty())
            continue;
        const int point = curve.Labels.front().PointIndex;
        double x = 0.0;
        double y = 0.0;
        graph.GetPoint(c, point, x, y);
        const QPoint at(graph.XToPixel(x), graph.YToPixel(y));
        QMouseEvent move(QEvent::MouseMove, at, graph.mapToGlobal(at), Qt::NoButton, {}, {});
        QApplication::sendEvent(&graph, &move);
        EXPECT_EQ(qobject_cast<QLabel*>(controls.Curve())->text().toStdString(), curve.Name);
        EXPECT_EQ(qobject_cast<QLabel*>(controls.Item())->text(), QString::number(point));
        EXPECT_TRUE(controls.XOut()->isEnabled());
    }
}

} // namespace
