#include "InteractionFixture.h"

#include "common/Application.h"

#include <array>

namespace {

class ControlsTest : public InteractionTest {
protected:
    // Shows the controls in the window and attaches them at positions 0, 1, ...
    template <typename Control, std::size_t Count>
    void Attach(std::array<Control, Count>& controls, void (TControls::*attach)(int, Control*))
    {
        for (std::size_t i = 0; i < Count; ++i) {
            controls[i].setParent(&window);
            controls[i].show();
            (graph.Controls().*attach)(int(i), &controls[i]);
        }
    }
    static void Click(QAbstractButton& button)
    {
        QTest::mouseClick(&button, Qt::LeftButton);
        QCoreApplication::sendPostedEvents();
    }
    // As the operator ticks or unticks an item.
    static void Tick(TCheckListBox& list, int index, bool checked)
    {
        list.item(index)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
        QCoreApplication::sendPostedEvents();
    }
    static QStringList Items(const TCheckListBox& list)
    {
        QStringList items;
        for (int i = 0; i < list.count(); ++i)
            items << list.item(i)->text() + (list.Checked(i) ? "+" : "-");
        return items;
    }
};

TEST_F(ControlsTest, ModeRadioButtonsAndOptionCheckBoxesDriveTheModesGridsAndHintPanel)
{
    std::array<QRadioButton, 5> radios;
    std::array<QCheckBox, 4> boxes;
    Attach(radios, &TControls::SetRadioButton);
    Attach(boxes, &TControls::SetCheckBox);
    EXPECT_EQ(graph.Controls().ModeCursor(), &radios[4]);
    for (TMouseMode mode : {mmMove, mmCursor, mmInsert, mmDelete, mmNone, mmMove}) {
        Click(radios[mode]);
        EXPECT_EQ(int(graph.MouseMode()), int(mode));
        EXPECT_EQ(xOut.isEnabled(), mode == mmMove) << int(mode);
    }
    graph.SetMouseMode(mmCursor);
    EXPECT_TRUE(radios[mmCursor].isChecked() && !xOut.isEnabled());
    graph.BeginLoading();
    graph.Loaded();
    EXPECT_TRUE(radios[mmNone].isChecked() && graph.MouseMode() == mmNone);

    Click(boxes[0]);
    EXPECT_TRUE(graph.KeepAspect());
    Click(boxes[0]);
    EXPECT_FALSE(graph.KeepAspect());
    Click(boxes[1]);
    EXPECT_EQ(PaintsDuring([&] { Click(boxes[1]); }), 2);
    EXPECT_FALSE(graph.XAxis().ShowMainGrid() || graph.YAxis().ShowMainGrid());
    Click(boxes[2]);
    EXPECT_TRUE(graph.XAxis().ShowSubGrid() && graph.YAxis().ShowSubGrid());
    graph.ShowHintPanel(true);
    EXPECT_TRUE(boxes[3].isChecked() && graph.HintPanel().isVisible());
    Click(boxes[3]);
    EXPECT_FALSE(graph.HintPanel().isVisible());
}

TEST_F(ControlsTest, ButtonsClearTheGraphShowAndHideTheListsAndResetTheView)
{
    TCheckListBox view(&window);
    TCheckListBox pan(&window);
    QCheckBox hint(&window);
    std::array<QPushButton, 4> buttons;
    Attach(buttons, &TControls::SetButton);
    graph.Controls().SetViewListBox(&view);
    graph.Controls().SetPanListBox(&pan);
    graph.Controls().SetHintPanel(&hint);
    view.show();
    pan.show();
    for (bool visible : {true, false, true})
        graph.AddCurve("A", clLime, 1, psSolid, visible);
    EXPECT_EQ(Items(view), QStringList({"A+", "A1-", "A2+"}));
    EXPECT_EQ(Items(pan), QStringList({"A-", "A1-", "A2-"}));

    Click(buttons[1]);
    EXPECT_TRUE(view.isHidden());
    EXPECT_EQ(window.children().last(), &view);
    Click(buttons[1]);
    EXPECT_FALSE(view.isHidden());
    Click(buttons[2]);
    EXPECT_TRUE(pan.isHidden());
    graph.XAxis().SetPanPixels(40);
    Click(buttons[3]);
    EXPECT_EQ(graph.XAxis().PanPixels(), 0);

    Tick(pan, 1, true);
    EXPECT_TRUE(graph.PanCurves());
    graph.SetGraphTitle("Other");
    graph.HintPanel().SetLines({"hint"});
    graph.ShowHintPanel(true);
    graph.XAxis().Zoom(0.98);
    Click(buttons[0]);
    EXPECT_EQ(graph.CurveCount() + view.count() + pan.count(), 0);
    EXPECT_EQ(graph.GraphTitle(), "Graph-Title");
    EXPECT_TRUE(graph.HintPanel().Lines().empty());
    EXPECT_FALSE(graph.HintPanel().isVisible() || hint.isChecked());
    EXPECT_EQ(graph.XAxis().Max(), 512.0);
    // With no curve left to pan, a left drag pans the view again.
    EXPECT_FALSE(graph.PanCurves());
    Press(Qt::LeftButton, {300, 150});
    Move({310, 150});
    EXPECT_EQ(graph.XAxis().PanPixels(), 10);
}

TEST_F(ControlsTest, CurveListsStayInStepWithTheCurvesAndShowOrHideThem)
{
    std::vector<QString> shown;
    TApplication::SetExceptionPresenter([&](const QString&, const QString& message) { shown.push_back(message); });
    TCheckListBox view(&window);
    TCheckListBox pan(&window);
    graph.Controls().SetViewListBox(&view);
    graph.Controls().SetPanListBox(&pan);
    for (const char* name : {"A", "B", "C"})
        AddCurve(name, {{100, 100}});
    EXPECT_EQ(PaintsDuring([&] { Tick(view, 1, false); }), 1);
    EXPECT_FALSE(graph.Curve(1)->Visible);
    Tick(view, 1, true);
    EXPECT_TRUE(graph.Curve(1)->Visible);

    graph.DeleteCurve(0);
    EXPECT_EQ(Items(view), QStringList({"B+", "C+"}));
    EXPECT_EQ(Items(pan), QStringList({"B-", "C-"}));
    // A program that replaces its curve every frame keeps one item for it.
    for (int frame = 0; frame < 5; ++frame) {
        graph.DeleteCurve(1);
        AddCurve("Sinus", {{100, 100}});
    }
    EXPECT_EQ(Items(view), QStringList({"B+", "Sinus+"}));

    // An item without a curve is the curve list's index error.
    view.AddItem("Stray", true);
    Tick(view, 2, false);
    TApplication::SetExceptionPresenter({});
    EXPECT_EQ(shown, std::vector<QString>{"List index out of bounds (2)"});
}

TEST_F(ControlsTest, AFreedControlIsDetachedAndReadOutsSkipIt)
{
    auto* label = new QLabel(&window);
    auto* clear = new QPushButton(&window);
    graph.Controls().SetMode(label);
    graph.Controls().SetAngle(label);
    graph.Controls().SetClear(clear);
    delete label;
    delete clear;
    TControls& controls = graph.Controls();
    EXPECT_EQ(std::vector<QObject*>({controls.Mode(), controls.Angle(), controls.Clear(), controls.XOut()}),
              std::vector<QObject*>({nullptr, nullptr, nullptr, &xOut}));
    graph.PanStep(0, 0);
    graph.ShowAngle(1);
    EXPECT_FALSE(xOut.isEnabled());
}

TEST_F(ControlsTest, TheHintPanelFitsOneToTenLinesAndDrawsAsManyEntriesAsItHasNonEmptyLines)
{
    THintPanel& panel = graph.HintPanel();
    EXPECT_EQ(panel.parentWidget(), &graph);
    EXPECT_EQ(panel.geometry(), QRect(5, 5, 0, 0));
    EXPECT_TRUE(panel.isVisible());
    EXPECT_EQ(panel.cursor().shape(), Qt::PointingHandCursor);
    panel.SetLines({"a", "", "bb"});
    EXPECT_EQ(panel.size(), QSize(panel.fontMetrics().horizontalAdvance("bb") + 8, 32));
    panel.SetLines(std::vector<std::string>(11, "line"));
    panel.ClearLines();
    EXPECT_EQ(panel.height(), 32);

    panel.SetLines({"a", "", "bb", "", "ccc"});
    EXPECT_EQ(panel.height(), 46);
    panel.resize(100, 100);
    const QImage picture = panel.grab().toImage();
    std::vector<bool> inked;
    for (int entry = 0; entry < 5; ++entry) {
        bool ink = false;
        for (int y = 2 + 14 * entry; y < 2 + 14 * (entry + 1); ++y)
            for (int x = 2; x < 60; ++x)
                ink = ink || picture.pixel(x, y) != picture.pixel(50, 95);
        inked.push_back(ink);
    }
    EXPECT_EQ(inked, std::vector<bool>({true, false, true, false, false}));
}

TEST_F(ControlsTest, DraggingTheHintPanelMovesItExactlyAndAnchorsItTopRight)
{
    THintPanel& panel = graph.HintPanel();
    panel.SetLines({"hint"});
    graph.SetMouseMode(mmMove);
    AddCurve("A", {{200, 100}});
    Move(Pixel(200, 100));
    ASSERT_TRUE(graph.CursorSaved());

    QTest::mousePress(&panel, Qt::LeftButton, {}, {3, 3});
    EXPECT_FALSE(graph.CursorShown() || graph.CursorSaved());
    QMouseEvent drag(QEvent::MouseMove, QPointF(13, 8), panel.mapToGlobal(QPointF(13, 8)), Qt::NoButton,
                     Qt::LeftButton, {});
    QApplication::sendEvent(&panel, &drag);
    EXPECT_EQ(panel.pos(), QPoint(15, 10));
    EXPECT_FALSE(panel.AnchoredRight());
    QTest::mouseRelease(&panel, Qt::LeftButton, {}, {13, 8});
    graph.SetBounds(0, 0, 687, 336);
    EXPECT_EQ(panel.pos(), QPoint(115, 10));
}

} // namespace
