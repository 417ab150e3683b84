#include "graph/XYGraph.h"

#include "graph/CheckListBox.h"
#include "graph/DecimalText.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

constexpr TMouseMode ModeOfRadioButton[] = {mmNone, mmMove, mmInsert, mmDelete, mmCursor};

// The edit's text as 8-bit text, or nothing when the edit is absent.
std::optional<double> TypedValue(const QLineEdit* edit)
{
    double value = 0.0;
    if (edit && ParseDecimalText(edit->text().toLatin1().toStdString(), value))
        return value;
    return std::nullopt;
}

} // namespace

void TXYGraph::SetMouseMode(TMouseMode mode)
{
    mouseMode_ = mode;
    if (QRadioButton* radio = controls_.RadioButton(mode))
        radio->setChecked(true);
}

void TXYGraph::ShowHintPanel(bool visible)
{
    hintPanel_->setVisible(visible);
    if (QCheckBox* box = controls_.HintPanel())
        box->setChecked(visible);
}

void TXYGraph::ControlButtonClick(QObject* sender)
{
    if (sender == controls_.Clear()) {
        ClearAll();
    } else if (TCheckListBox* view = controls_.ViewListBox(); sender == controls_.OpenView() && view) {
        view->raise();
        view->setVisible(view->isHidden());
    } else if (TCheckListBox* pan = controls_.PanListBox(); sender == controls_.OpenPan() && pan) {
        pan->raise();
        pan->setVisible(pan->isHidden());
    } else if (sender == controls_.Reset()) {
        ResetAxes();
    }
}

void TXYGraph::ClearAll()
{
    while (CurveCount() > 0)
        DeleteCurve(0);
    hintPanel_->ClearLines();
    ShowHintPanel(false);
    SetGraphTitle("Graph-Title");
    for (TCheckListBox* list : {controls_.ViewListBox(), controls_.PanListBox()})
        if (list)
            list->clear();
    // No curve is left to pan: a left drag pans the view again.
    panCurves_ = false;
    ResetAxes();
    QCoreApplication::processEvents();
    Paint();
}

void TXYGraph::ModeRadioClick(QObject* sender)
{
    for (int i = 0; i < int(std::size(ModeOfRadioButton)); ++i)
        if (sender && sender == controls_.RadioButton(i))
            mouseMode_ = ModeOfRadioButton[i];
    EnableValueOutputs(mouseMode_ == mmMove);
}

void TXYGraph::OptionCheckClick(QObject* sender)
{
    if (!sender)
        return;
    if (QCheckBox* box = controls_.AspectRatio(); sender == box) {
        keepAspect_ = box->isChecked();
    } else if (QCheckBox* box = controls_.MainGrid(); sender == box) {
        xAxis_.SetShowMainGrid(box->isChecked());
        yAxis_.SetShowMainGrid(box->isChecked());
    } else if (QCheckBox* box = controls_.SubGrid(); sender == box) {
        xAxis_.SetShowSubGrid(box->isChecked());
        yAxis_.SetShowSubGrid(box->isChecked());
    } else if (QCheckBox* box = controls_.HintPanel(); sender == box) {
        hintPanel_->setVisible(box->isChecked());
    }
}

void TXYGraph::ListCheckClick(QObject* sender)
{
    if (!sender)
        return;
    if (TCheckListBox* view = controls_.ViewListBox(); sender == view) {
        for (int i = 0; i < view->count(); ++i)
            CurveAt(i).Visible = view->Checked(i);
        Paint();
    } else if (TCheckListBox* pan = controls_.PanListBox(); sender == pan) {
        panCurves_ = false;
        for (int i = 0; i < pan->count() && !panCurves_; ++i)
            panCurves_ = pan->Checked(i);
        if (mouseMode_ != mmMove)
            EnableValueOutputs(panCurves_);
    }
}

void TXYGraph::XInExit(QObject*)
{
    if (const std::optional<double> value = TypedValue(controls_.XIn())) {
        SetPickedX(*value);
        OffsetPanCurves(false, *value, NoValue);
    }
}

void TXYGraph::YInExit(QObject*)
{
    if (const std::optional<double> value = TypedValue(controls_.YIn())) {
        SetPickedY(*value);
        OffsetPanCurves(false, NoValue, *value);
    }
}
