#include "graph/XYGraph.h"

#include "graph/CheckListBox.h"
#include "graph/Rounding.h"

#include <QMouseEvent>

#include <cmath>
#include <limits>
#include <numbers>
#include <optional>

namespace {

// Points within this many pixels on both axes can be picked.
constexpr double PickTolerancePixels = 10.0;
// One zoom step changes the zoom factor by this much.
constexpr double ZoomStepSize = 0.02;
constexpr int GlideSteps = 10;

std::optional<TMouseButton> MouseButtonOf(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return mbLeft;
    case Qt::RightButton: return mbRight;
    case Qt::MiddleButton: return mbMiddle;
    default: return std::nullopt;
    }
}

TShiftState ShiftStateOf(const QMouseEvent& event)
{
    TShiftState shift;
    const Qt::KeyboardModifiers keys = event.modifiers();
    const Qt::MouseButtons buttons = event.buttons();
    if (keys & Qt::ShiftModifier)
        shift.Include(ssShift);
    if (keys & Qt::AltModifier)
        shift.Include(ssAlt);
    if (keys & Qt::ControlModifier)
        shift.Include(ssCtrl);
    if (buttons & Qt::LeftButton)
        shift.Include(ssLeft);
    if (buttons & Qt::RightButton)
        shift.Include(ssRight);
    if (buttons & Qt::MiddleButton)
        shift.Include(ssMiddle);
    if (event.type() == QEvent::MouseButtonDblClick)
        shift.Include(ssDouble);
    return shift;
}

// Home range against the current one: above 1 when zoomed in.
double Magnification(const TAxis& axis)
{
    const double span = axis.Max() - axis.Min();
    return span == 0.0 ? 1.0 : (axis.HomeMax() - axis.HomeMin()) / span;
}

// The zoom factor's change for a motion: in when the motion is positive.
double ZoomStepFor(int motion)
{
    return motion > 0 ? -ZoomStepSize : motion < 0 ? ZoomStepSize : 0.0;
}

} // namespace

void TXYGraph::mousePressEvent(QMouseEvent* event)
{
    const std::optional<TMouseButton> button = MouseButtonOf(event->button());
    if (!button)
        return QWidget::mousePressEvent(event);
    const QPoint at = event->position().toPoint();
    MouseDown(*button, ShiftStateOf(*event), at.x(), at.y());
}

void TXYGraph::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    MouseMove(ShiftStateOf(*event), at.x(), at.y());
}

void TXYGraph::mouseReleaseEvent(QMouseEvent* event)
{
    const std::optional<TMouseButton> button = MouseButtonOf(event->button());
    if (!button)
        return QWidget::mouseReleaseEvent(event);
    const QPoint at = event->position().toPoint();
    MouseUp(*button, ShiftStateOf(*event), at.x(), at.y());
}

// The toolkit reports the second press of a double click as the double
// click alone; it is a press as well.
void TXYGraph::mouseDoubleClickEvent(QMouseEvent* event)
{
    const std::optional<TMouseButton> button = MouseButtonOf(event->button());
    if (!button)
        return QWidget::mouseDoubleClickEvent(event);
    if (*button == mbLeft)
        DblClick();
    const QPoint at = event->position().toPoint();
    MouseDown(*button, ShiftStateOf(*event), at.x(), at.y());
}

void TXYGraph::TriggerMouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseDown)
        OnMouseDown(this, button, shift, x, y);
}

void TXYGraph::TriggerMouseMove(TShiftState shift, int x, int y)
{
    if (OnMouseMove)
        OnMouseMove(this, shift, x, y);
}

void TXYGraph::TriggerMouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseUp)
        OnMouseUp(this, button, shift, x, y);
}

void TXYGraph::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TriggerMouseDown(button, shift, x, y);
    lastMouseX_ = x;
    lastMouseY_ = y;
    if (button == mbLeft) {
        PressLeft(x, y);
    } else if (button == mbRight) {
        GlideCenter(x, y);
        ZoomStep(0, 0);
    }
}

void TXYGraph::PressLeft(int x, int y)
{
    if (cursorShown_)
        ShowMousePosition(x, y);
    else
        PanStep(0, 0);

    switch (mouseMode_) {
    case mmMove:
        MovePickedPoint(0, 0);
        break;
    case mmInsert:
        if (cursorShown_) {
            cursorX_ = PixelToX(x);
            cursorY_ = PixelToY(y);
            // Stored without the offsets, so that the point shows where it
            // was clicked; a pick that a curve change made stale inserts
            // nothing.
            const TCurve* curve = Curve(pickedCurve_);
            if (curve && std::size_t(pickedPoint_) <= curve->Points.size())
                InsertPoint(pickedCurve_, pickedPoint_, cursorX_ - curve->XOffset, cursorY_ - curve->YOffset);
            Paint();
        }
        break;
    case mmDelete:
        if (cursorShown_) {
            DeletePoint(pickedCurve_, pickedPoint_);
            // The deleted point's index now names its successor, which the
            // operator never picked: nothing stays picked or shown.
            RestoreCursorBackground();
            cursorShown_ = false;
            shownCurve_ = -1;
            shownPoint_ = -1;
            Paint();
        }
        break;
    case mmCursor:
        PlaceCursor(x, y);
        break;
    case mmNone:
        break;
    }
}

void TXYGraph::MouseMove(TShiftState shift, int x, int y)
{
    TriggerMouseMove(shift, x, y);
    const int dx = x - lastMouseX_;
    const int dy = y - lastMouseY_;
    shiftHeld_ = shift.Contains(ssShift);

    if (shift.Contains(ssLeft)) {
        if (!cursorShown_)
            PanStep(dx, dy);
        if (mouseMode_ == mmMove)
            MovePickedPoint(dx, dy);
        else if (mouseMode_ == mmCursor)
            ShowCursorDelta(x, y);
    } else if (shift.Contains(ssRight)) {
        ZoomStep(dx, dy);
    } else {
        if (mouseMode_ == mmMove || mouseMode_ == mmInsert || mouseMode_ == mmDelete)
            HoverPick(x, y);
        if (mouseMode_ == mmCursor) {
            ShowCursorDelta(x, y);
        } else if (mouseMode_ == mmNone && shownPoint_ >= 0) {
            // Far outside the plot: clears the point details once.
            HoverPick(std::numeric_limits<int>::max(), std::numeric_limits<int>::max());
        } else if (!cursorShown_) {
            ShowMousePosition(x, y);
        }
    }

    if (!panCurves_ && mouseMode_ == mmMove)
        EnableValueOutputs(cursorShown_);
    else if (panCurves_)
        EnableValueOutputs(true);
    lastMouseX_ = x;
    lastMouseY_ = y;
}

void TXYGraph::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    // Every move of a drag is applied as it comes: nothing is left to end.
    TriggerMouseUp(button, shift, x, y);
}

void TXYGraph::DblClick()
{
    ResetAxes();
}

void TXYGraph::PanStep(int dx, int dy)
{
    if (panCurves_) {
        ShowModeText("Pan: Curves");
        EnableValueOutputs(true);
        OffsetPanCurves(true, dx * xAxis_.UnitsPerPixel(), -dy * yAxis_.UnitsPerPixel());
        return;
    }
    ShowModeText("Pan: Graph");
    EnableValueOutputs(false);
    if (dx != 0)
        xAxis_.SetPanPixels(xAxis_.PanPixels() + dx);
    if (dy != 0)
        yAxis_.SetPanPixels(yAxis_.PanPixels() - dy);
    Paint();
}

void TXYGraph::ZoomStep(int dx, int dy)
{
    const double zx = Magnification(xAxis_);
    const double zy = Magnification(yAxis_);
    // The limit is tested before the step, so a step may pass it once.
    const auto mayZoom = [this](double factor, double magnification) {
        return (factor < 1 && magnification < maxZoom_) || (factor > 1 && magnification > 1 / maxZoom_);
    };
    const double f = 1.0 + ZoomStepFor(dx);
    if (keepAspect_) {
        ShowModeText("Zoom: Aspect");
        ShowValues(zx, zx);
        if (mayZoom(f, zx)) {
            xAxis_.Zoom(f);
            yAxis_.Zoom(f);
            Paint();
        }
        return;
    }
    ShowModeText("Zoom: Free");
    ShowValues(zx, zy);
    if (mayZoom(f, zx))
        xAxis_.Zoom(f);
    // Upward motion (negative dy) zooms in.
    const double g = 1.0 - ZoomStepFor(dy);
    if (mayZoom(g, zy))
        yAxis_.Zoom(g);
    Paint();
}

void TXYGraph::GlideCenter(int x, int y)
{
    const double cx = xAxis_.GetCenter();
    const double cy = yAxis_.GetCenter();
    const double mx = PixelToX(x);
    const double my = PixelToY(y);
    const double stepX = std::fabs(cx - mx) / GlideSteps;
    const double stepY = std::fabs(cy - my) / GlideSteps;
    for (int i = 1; i <= GlideSteps; ++i) {
        xAxis_.CenterOn(cx > mx ? cx - i * stepX : cx + i * stepX);
        yAxis_.CenterOn(cy > my ? cy - i * stepY : cy + i * stepY);
        Paint();
    }
}

void TXYGraph::ShowMousePosition(int x, int y)
{
    ShowModeText(mouseMode_ == mmCursor ? "Mouse: Cursor" : "Mouse: Position");
    ShowValues(PixelToX(x), PixelToY(y));
}

void TXYGraph::PlaceCursor(int x, int y)
{
    RestoreCursorBackground();
    ShowModeText("Mouse: Cursor");
    ShowValues(0, 0);
    cursorShown_ = false;
    cursorX_ = PixelToX(x);
    cursorY_ = PixelToY(y);
    DrawCursorMark();
}

void TXYGraph::ShowCursorDelta(int x, int y)
{
    ShowValues(PixelToX(x) - cursorX_, PixelToY(y) - cursorY_);
}

void TXYGraph::MovePickedPoint(int dx, int dy)
{
    if (!cursorShown_)
        return;
    cursorX_ += dx * xAxis_.UnitsPerPixel();
    cursorY_ -= dy * yAxis_.UnitsPerPixel();
    SetPoint(pickedCurve_, pickedPoint_, cursorX_, cursorY_);
    ShowValues(cursorX_, cursorY_);
    ShowModeText("Edit: Move");
    Paint();
}

void TXYGraph::PickPoint(int px, int py)
{
    RestoreCursorBackground();
    // Holding Shift keeps the point picked.
    if (!(shiftHeld_ && cursorShown_)) {
        const double mx = xAxis_.PixelToValue(px);
        const double my = yAxis_.PixelToValue(py);
        const double tx = PickTolerancePixels * xAxis_.UnitsPerPixel();
        const double ty = PickTolerancePixels * yAxis_.UnitsPerPixel();
        cursorShown_ = false;
        // Distances of the picked point from the mouse. A pick is within
        // the tolerance, and a replacement is closer on one axis and within
        // it on the other, so both stay below the tolerance: every candidate
        // passes the first, cheap test.
        double pickedDX = 0.0;
        double pickedDY = 0.0;
        for (int c = 0; c < CurveCount(); ++c) {
            const TCurve& curve = *curves_[std::size_t(c)];
            if (!curve.Visible)
                continue;
            const TCurvePoint* points = curve.Points.data();
            const int count = int(curve.Points.size());
            for (int i = 0; i < count; ++i) {
                const double x = points[i].X + curve.XOffset;
                const double y = points[i].Y + curve.YOffset;
                const double dX = std::fabs(mx - x);
                const double dY = std::fabs(my - y);
                if (!(dX < tx && dY < ty))
                    continue;
                if (cursorShown_ && !(pickedDX > dX || pickedDY > dY))
                    continue;
                cursorShown_ = true;
                cursorX_ = x;
                cursorY_ = y;
                pickedDX = dX;
                pickedDY = dY;
                pickedCurve_ = c;
                pickedPoint_ = i;
            }
        }
    }
    if (cursorShown_)
        DrawCursorMark();
}

void TXYGraph::HoverPick(int x, int y)
{
    // Positions as far out as the largest Integer stay far outside the plot.
    PickPoint(SaturateToPixel(double(x) - positions_.XAxisLeft()),
              SaturateToPixel(double(height()) - y - positions_.YAxisBottom()));
    if (!cursorShown_) {
        ShowCurveName("");
        ShowItemIndex(-1);
        ShowItemColor(colors_.GraphBkGnd());
        ShowAngle(9.9e18);
        shownCurve_ = -1;
        shownPoint_ = -1;
        return;
    }
    // A pick locked with Shift may name a curve the program has deleted.
    const TCurve* curve = Curve(pickedCurve_);
    if (!curve || (pickedCurve_ == shownCurve_ && pickedPoint_ == shownPoint_))
        return;
    ShowValues(cursorX_, cursorY_);
    ShowCurveName(curve->Name);
    ShowItemIndex(pickedPoint_);
    ShowItemColor(curve->Color);
    shownCurve_ = pickedCurve_;
    shownPoint_ = pickedPoint_;
    if (curve->HasPoint(pickedPoint_ + 1) && controls_.Angle()) {
        double x2 = 0.0;
        double y2 = 0.0;
        GetPoint(pickedCurve_, pickedPoint_ + 1, x2, y2);
        ShowAngle(SegmentAngle(cursorX_, cursorY_, x2, y2));
    }
}

double TXYGraph::SegmentAngle(double x1, double y1, double x2, double y2)
{
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    if (dx == 0)
        return 0.0;
    const double angle = std::atan(dy / dx) * 180 / std::numbers::pi;
    return dx > 0 ? angle : -angle;
}

void TXYGraph::SetPickedX(double value)
{
    if (ReadPickedPoint())
        PlacePickedPoint(value, cursorY_);
}

void TXYGraph::SetPickedY(double value)
{
    if (ReadPickedPoint())
        PlacePickedPoint(cursorX_, value);
}

// Typed coordinates apply to a point picked in move mode; the other
// coordinate is taken from the point as it is now.
bool TXYGraph::ReadPickedPoint()
{
    if (mouseMode_ != mmMove || !cursorShown_)
        return false;
    GetPoint(pickedCurve_, pickedPoint_, cursorX_, cursorY_);
    return true;
}

void TXYGraph::PlacePickedPoint(double x, double y)
{
    SetPoint(pickedCurve_, pickedPoint_, x, y);
    cursorX_ = x;
    cursorY_ = y;
    ShowValues(cursorX_, cursorY_);
    Paint();
}

void TXYGraph::OffsetPanCurves(bool relative, double ax, double ay)
{
    TCheckListBox* pan = controls_.PanListBox();
    if (!pan)
        return;
    // Anything below this stands for NoValue.
    constexpr double unset = -9.99e15;
    for (int i = 0; i < pan->count(); ++i) {
        if (!pan->Checked(i) || !CurveAt(i).Visible)
            continue;
        if (ax > unset)
            SetCurveXOffset(i, relative ? GetCurveXOffset(i) + ax : ax);
        if (ay > unset)
            SetCurveYOffset(i, relative ? GetCurveYOffset(i) + ay : ay);
        ShowValues(GetCurveXOffset(i), GetCurveYOffset(i));
    }
}
