#include "graph/XYGraph.h"

#include "common/Exception.h"
#include "graph/CheckListBox.h"
#include "graph/Latin1.h"
#include "graph/Rounding.h"
#include "graph/ShortText.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <string>

namespace {

constexpr int InitialWidth = 400;
constexpr int InitialHeight = 300;
// Longest label text kept.
constexpr std::size_t MaxLabelLength = 255;

[[noreturn]] void ThrowListIndexError(int index)
{
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

QString UpperCase(const std::string& text)
{
    return Latin1(text).toUpper();
}

// The given name followed by n, shortened where needed so that the number
// always fits into a short text.
std::string NumberedName(const std::string& name, int n)
{
    const std::string number = std::to_string(n);
    return name.substr(0, MaxShortTextLength - number.size()) + number;
}

} // namespace

TXYGraph::TXYGraph(QWidget* parent) : QWidget(parent)
{
    // Every paint covers the whole widget: no background to clear first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Plain motion picks points and shows positions.
    setMouseTracking(true);
    SetBounds(x(), y(), InitialWidth, InitialHeight);
    hintPanel_ = new THintPanel(*this);
    const auto notify = [this](TGraphPersistent* sender) { PropertyChanged(sender); };
    xAxis_.OnChange = notify;
    yAxis_.OnChange = notify;
    colors_.OnChange = notify;
    fonts_.OnChange = notify;
    positions_.OnChange = notify;
    SetGraphTitle("Graph-Title");
    xAxis_.SetTitle("X-Axis-Title");
    yAxis_.SetTitle("Y-Axis-Title");
}

TXYGraph::~TXYGraph()
{
    // Settings objects must not call back into a graph being destroyed.
    for (TGraphPersistent* settings : std::initializer_list<TGraphPersistent*>{&xAxis_, &yAxis_, &colors_, &fonts_, &positions_})
        settings->OnChange = nullptr;
}

void TXYGraph::SetGraphTitle(const std::string& title)
{
    const std::string cut = CutShortText(title);
    if (cut == graphTitle_)
        return;
    graphTitle_ = cut;
    Paint();
}

void TXYGraph::BeginLoading()
{
    isLoaded_ = false;
}

void TXYGraph::Loaded()
{
    xAxis_.CaptureHome();
    yAxis_.CaptureHome();
    homeZoom_ = currentZoom_;
    SetMouseMode(mmNone);
    isLoaded_ = true;
}

void TXYGraph::PropertyChanged(TGraphPersistent* sender)
{
    if (sender == &positions_) {
        xAxis_.SetPixelLength(width() - positions_.XAxisLeft() - positions_.XAxisRight());
        yAxis_.SetPixelLength(height() - positions_.YAxisTop() - positions_.YAxisBottom());
    }
    // Other handlers may run here: the model is consistent at this point.
    QCoreApplication::processEvents();
    if (isLoaded_)
        Paint();
}

int TXYGraph::AddCurve(const std::string& name, TColor color, std::uint8_t penWidth, std::uint8_t penStyle, bool visible)
{
    std::string candidate = CutShortText(name);
    int index = -1;
    for (int n = 1; FindCurve(candidate, index); ++n)
        candidate = NumberedName(name, n);

    auto curve = std::make_unique<TCurve>();
    curve->Points = std::move(sparePoints_);
    curve->Points.clear();
    sparePoints_ = {};
    curve->Name = candidate;
    curve->Color = color;
    curve->PenWidth = penWidth;
    curve->PenStyle = penStyle;
    curve->Visible = visible;
    curves_.push_back(std::move(curve));
    if (TCheckListBox* view = controls_.ViewListBox())
        view->AddItem(candidate, visible);
    if (TCheckListBox* pan = controls_.PanListBox())
        pan->AddItem(candidate, false);
    return CurveCount() - 1;
}

void TXYGraph::DeleteCurve(int index)
{
    if (index < 0)
        ThrowListIndexError(index);
    if (index >= CurveCount())
        return;
    // Acquisition replaces its curve with one of the same size every frame:
    // the point storage is kept for the next curve.
    std::vector<TCurvePoint>& points = curves_[std::size_t(index)]->Points;
    if (points.capacity() > sparePoints_.capacity())
        sparePoints_ = std::move(points);
    curves_.erase(curves_.begin() + index);
    // Item i of each list stands for curve i.
    for (TCheckListBox* list : {controls_.ViewListBox(), controls_.PanListBox()})
        if (list && index < list->count())
            list->DeleteItem(index);
}

bool TXYGraph::FindCurve(const std::string& name, int& index) const
{
    // Names are stored cut to a short text; so is the name looked for.
    const QString wanted = UpperCase(CutShortText(name));
    for (int i = 0; i < CurveCount(); ++i) {
        if (UpperCase(curves_[std::size_t(i)]->Name) == wanted) {
            index = i;
            return true;
        }
    }
    index = -1;
    return false;
}

TCurve* TXYGraph::Curve(int index)
{
    return index >= 0 && index < CurveCount() ? curves_[std::size_t(index)].get() : nullptr;
}

const TCurve* TXYGraph::Curve(int index) const
{
    return index >= 0 && index < CurveCount() ? curves_[std::size_t(index)].get() : nullptr;
}

TCurve& TXYGraph::CurveAt(int index)
{
    TCurve* curve = Curve(index);
    if (!curve)
        ThrowListIndexError(index);
    return *curve;
}

void TXYGraph::AddPoints(int curveIndex, const TCurvePoint* points, std::size_t count)
{
    TCurve* curve = Curve(curveIndex);
    if (!curve)
        return;
    for (std::size_t done = 0; done < count;) {
        const std::size_t batch = std::min(count - done, TCurveColumns::BatchSize);
        curve->Points.insert(curve->Points.end(), points + done, points + done + batch);
        done += batch;
        UpdateColumns(*curve);
    }
}

void TXYGraph::InsertPoint(int curveIndex, int pointIndex, double x, double y)
{
    TCurve* curve = Curve(curveIndex);
    if (!curve || pointIndex < 0)
        return;
    if (std::size_t(pointIndex) > curve->Points.size())
        ThrowListIndexError(pointIndex);
    curve->Points.insert(curve->Points.begin() + pointIndex, {x, y});
    curve->Columns.Invalidate();
}

void TXYGraph::DeletePoint(int curveIndex, int pointIndex)
{
    TCurve* curve = Curve(curveIndex);
    if (curve && curve->HasPoint(pointIndex)) {
        curve->Points.erase(curve->Points.begin() + pointIndex);
        curve->Columns.Invalidate();
    }
}

void TXYGraph::SetPoint(int curveIndex, int pointIndex, double x, double y)
{
    TCurve* curve = Curve(curveIndex);
    if (curve && curve->HasPoint(pointIndex)) {
        curve->Points[std::size_t(pointIndex)] = {x - curve->XOffset, y - curve->YOffset};
        curve->Columns.Invalidate();
    }
}

void TXYGraph::GetPoint(int curveIndex, int pointIndex, double& x, double& y) const
{
    const TCurve* curve = Curve(curveIndex);
    if (!curve || !curve->HasPoint(pointIndex))
        return;
    const TCurvePoint& point = curve->Points[std::size_t(pointIndex)];
    x = point.X + curve->XOffset;
    y = point.Y + curve->YOffset;
}

void TXYGraph::SetCurveXOffset(int curveIndex, double offset)
{
    if (TCurve* curve = Curve(curveIndex)) {
        curve->XOffset = offset;
        Paint();
    }
}

void TXYGraph::SetCurveYOffset(int curveIndex, double offset)
{
    if (TCurve* curve = Curve(curveIndex)) {
        curve->YOffset = offset;
        Paint();
    }
}

double TXYGraph::GetCurveXOffset(int curveIndex) const
{
    const TCurve* curve = Curve(curveIndex);
    return curve ? curve->XOffset : 0.0;
}

double TXYGraph::GetCurveYOffset(int curveIndex) const
{
    const TCurve* curve = Curve(curveIndex);
    return curve ? curve->YOffset : 0.0;
}

void TXYGraph::AddLabel(int curveIndex, int pointIndex, const std::string& text, TColor color, int dx, int dy)
{
    if (TCurve* curve = Curve(curveIndex))
        curve->Labels.push_back({pointIndex, text.substr(0, MaxLabelLength), color, dx, dy});
}

void TXYGraph::AddMarker(int curveIndex, int pointIndex, std::uint8_t kind, TColor color)
{
    if (TCurve* curve = Curve(curveIndex))
        curve->Markers.push_back({pointIndex, kind, color});
}

void TXYGraph::ResetAxes()
{
    xAxis_.RestoreHome();
    yAxis_.RestoreHome();
    SetZoom(homeZoom_);
    Paint();
}

void TXYGraph::SetZoom(double factor)
{
    if (!(factor <= maxZoom_ && factor >= 1 / maxZoom_))
        return;
    if (!xAxis_.CanZoom(factor) || !yAxis_.CanZoom(factor))
        return;
    currentZoom_ = factor;
    xAxis_.Zoom(factor);
    yAxis_.Zoom(factor);
    Paint();
}

void TXYGraph::SetBounds(int left, int top, int width, int height)
{
    setGeometry(left, top, width, height);
    sizeChanged_ = true;
}

int TXYGraph::XToPixel(double x) const
{
    return SaturateToPixel(double(positions_.XAxisLeft()) + xAxis_.ValueToPixel(x));
}

int TXYGraph::YToPixel(double y) const
{
    return SaturateToPixel(double(height()) - positions_.YAxisBottom() - yAxis_.ValueToPixel(y));
}

double TXYGraph::PixelToX(int column) const
{
    return xAxis_.PixelToValue(SaturateToPixel(double(column) - positions_.XAxisLeft()));
}

double TXYGraph::PixelToY(int row) const
{
    return yAxis_.PixelToValue(SaturateToPixel(double(height()) - row - positions_.YAxisBottom()));
}

