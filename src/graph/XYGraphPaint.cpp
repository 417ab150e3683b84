#include "graph/XYGraph.h"

#include "graph/Latin1.h"
#include "graph/ScaleLabel.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace {

constexpr TColor FrameOuterColor = clGray;
constexpr TColor FrameInnerColor = clWhite;
constexpr TColor CursorColor = clWhite;
// The turned Y axis title reads from bottom to top.
constexpr int UpwardAngle = 900;
// The cursor mark covers a 7 x 7 square about the cursor; the save-under
// keeps 8 x 8 pixels from its top-left corner.
constexpr int CursorHalfSize = 3;
constexpr int CursorSaveSize = 8;
// A curve is cut per pixel column when it has this many points per column
// of the plot area or more.
constexpr int PointsPerColumnToReduce = 4;

// The point as the curve shows it: stored values plus offsets.
QPointF DisplayedPoint(const TCurve& curve, int index)
{
    const TCurvePoint& point = curve.Points[std::size_t(index)];
    return {point.X + curve.XOffset, point.Y + curve.YOffset};
}

// Whether the curve is drawn cut per pixel column, from its column summary:
// a solid one-pixel line with several points per column of the plot area.
bool ReducesColumns(const TCurve& curve, int plotWidth)
{
    return curve.PenWidth <= 1 && (curve.PenStyle == psSolid || curve.PenStyle == psInsideFrame)
        && curve.Points.size() >= std::size_t(PointsPerColumnToReduce) * std::size_t(std::max(1, plotWidth));
}

} // namespace

TRect TXYGraph::PlotArea() const
{
    return {positions_.XAxisLeft(), positions_.YAxisTop(), width() - positions_.XAxisRight(),
            height() - positions_.YAxisBottom()};
}

TPixelMapping TXYGraph::Mapping() const
{
    TPixelMapping mapping;
    mapping.XMin = xAxis_.Min();
    mapping.XScale = xAxis_.PixelsPerUnit();
    mapping.XBase = double(positions_.XAxisLeft()) + xAxis_.PanPixels();
    mapping.YMin = yAxis_.Min();
    mapping.YScale = yAxis_.PixelsPerUnit();
    mapping.YBase = double(height()) - positions_.YAxisBottom() - yAxis_.PanPixels();
    return mapping;
}

void TXYGraph::UpdateColumns(const TCurve& curve) const
{
    if (ReducesColumns(curve, xAxis_.PixelLength()))
        curve.Columns.Update(curve.Points, ColumnMappingOf(Mapping(), curve.XOffset));
}

void TXYGraph::Paint()
{
    // Setting a changed length notifies, and the notification may paint
    // again before this paint goes on; each paint draws the whole picture,
    // so the outer one still ends with the right result.
    if (sizeChanged_ || backBuffer_.size() != size()) {
        xAxis_.SetPixelLength(width() - positions_.XAxisLeft() - positions_.XAxisRight());
        yAxis_.SetPixelLength(height() - positions_.YAxisTop() - positions_.YAxisBottom());
        sizeChanged_ = false;
    }
    if (cursorShown_ || mouseMode_ == mmCursor)
        RestoreCursorBackground();
    RenderBackBuffer();
    ShowBackBuffer();
    if (cursorShown_ || mouseMode_ == mmCursor)
        DrawCursorMark();
    ++paintCount_;
}

void TXYGraph::RenderBackBuffer()
{
    const int w = width();
    const int h = height();
    // The surface shares the last picture with the back buffer, so the next
    // one is drawn into the other of two images, taking turns; every pixel
    // is drawn anew anyway.
    if (!backBuffer_.isDetached())
        std::swap(backBuffer_, spareBuffer_);
    if (backBuffer_.size() != QSize(w, h) || !backBuffer_.isDetached())
        backBuffer_ = w > 0 && h > 0 ? QImage(w, h, QImage::Format_RGB32) : QImage();
    if (backBuffer_.isNull())
        return;

    TCanvas canvas(backBuffer_, &textLayouts_);
    const TRect plot = PlotArea();
    canvas.FillRect(plot, colors_.GraphBkGnd());
    canvas.FillRect({0, 0, plot.Left, h}, colors_.AxisBkGnd());
    canvas.FillRect({plot.Left, 0, w, plot.Top}, colors_.AxisBkGnd());
    canvas.FillRect({0, plot.Bottom, w, h}, colors_.AxisBkGnd());
    canvas.FillRect({plot.Right, plot.Top, w, plot.Bottom}, colors_.AxisBkGnd());
    canvas.FrameRect({0, 0, w, h}, FrameOuterColor);
    canvas.FrameRect({1, 1, w - 1, h - 1}, FrameInnerColor);

    if (!graphTitle_.empty()) {
        canvas.SetFont(fonts_.GraphTitle());
        const QString title = Latin1(graphTitle_);
        const int left = positions_.TitleLeft() == 0 ? w / 2 - canvas.TextWidth(title) / 2 : positions_.TitleLeft();
        canvas.TextOut(left, positions_.TitleTop(), title);
    }

    DrawXAxis(canvas);
    DrawYAxis(canvas);

    canvas.SetClip({plot.Left, plot.Top, plot.Right + 1, plot.Bottom + 1});
    for (const auto& curve : curves_)
        if (curve->Visible && !curve->Points.empty())
            DrawCurve(canvas, *curve);
    canvas.RemoveClip();
}

void TXYGraph::DrawXAxis(TCanvas& canvas)
{
    const TRect plot = PlotArea();
    canvas.SetFont(fonts_.AxisScale());
    canvas.SetPenColor(colors_.TickColor());
    for (const TAxisTick& tick : xAxis_.LayoutTicks()) {
        const int x = plot.Left + tick.Offset;
        if (x < plot.Left || x > plot.Right)
            continue;
        if (tick.Main) {
            canvas.Line(x, plot.Bottom, x, plot.Bottom + xAxis_.MainTickLen());
            const QString label = FormatScaleLabel(tick.Value, xAxis_.Decimals());
            canvas.TextOut(x - canvas.TextWidth(label) / 2, plot.Bottom + xAxis_.MainTickLen(), label);
            if (xAxis_.ShowMainGrid()) {
                canvas.SetPenColor(colors_.MainGridColor());
                canvas.Line(x, plot.Top, x, plot.Bottom);
                canvas.SetPenColor(colors_.TickColor());
            }
        } else {
            canvas.Line(x, plot.Bottom, x, plot.Bottom + xAxis_.SubTickLen());
            if (xAxis_.ShowSubGrid()) {
                canvas.SetPenColor(colors_.SubGridColor());
                canvas.Line(x, plot.Top, x, plot.Bottom);
                canvas.SetPenColor(colors_.TickColor());
            }
        }
    }
    // The edge lines cover the first pixel of every tick and the top pixel
    // of every grid line.
    canvas.SetPenColor(colors_.GraphBkGnd());
    canvas.Line(plot.Left, plot.Bottom, plot.Right, plot.Bottom);
    canvas.Line(plot.Left, plot.Top, plot.Right, plot.Top);

    canvas.SetFont(fonts_.AxisTitle());
    const QString title = Latin1(xAxis_.Title());
    canvas.TextOut(plot.Left + xAxis_.PixelLength() / 2 - canvas.TextWidth(title) / 2,
                   height() - positions_.XAxisTitle(), title);
}

void TXYGraph::DrawYAxis(TCanvas& canvas)
{
    const TRect plot = PlotArea();
    canvas.SetFont(fonts_.AxisScale());
    canvas.SetPenColor(colors_.TickColor());
    const int halfDigitHeight = canvas.TextHeight(QStringLiteral("0")) / 2;
    for (const TAxisTick& tick : yAxis_.LayoutTicks()) {
        const int y = plot.Bottom - tick.Offset;
        if (y < plot.Top || y > plot.Bottom)
            continue;
        if (tick.Main) {
            const int labelRight = plot.Left - yAxis_.MainTickLen();
            canvas.Line(plot.Left, y, labelRight, y);
            const QString label = FormatScaleLabel(tick.Value, yAxis_.Decimals());
            canvas.TextOut(labelRight - canvas.TextWidth(label), y - halfDigitHeight, label);
            if (yAxis_.ShowMainGrid() && y != plot.Top && y != plot.Bottom) {
                canvas.SetPenColor(colors_.MainGridColor());
                canvas.Line(plot.Left, y, plot.Right, y);
                canvas.SetPenColor(colors_.TickColor());
            }
        } else {
            canvas.Line(plot.Left, y, plot.Left - yAxis_.SubTickLen(), y);
            if (yAxis_.ShowSubGrid()) {
                canvas.SetPenColor(colors_.SubGridColor());
                canvas.Line(plot.Left, y, plot.Right, y);
                canvas.SetPenColor(colors_.TickColor());
            }
        }
    }
    canvas.SetPenColor(colors_.GraphBkGnd());
    canvas.Line(plot.Left, plot.Bottom, plot.Left, plot.Top - 1);
    canvas.Line(plot.Right, plot.Bottom, plot.Right, plot.Top - 1);

    canvas.SetFont(fonts_.AxisTitle());
    const QString title = Latin1(yAxis_.Title());
    canvas.RotatedTextOut(positions_.YAxisTitle(),
                          plot.Bottom - yAxis_.PixelLength() / 2 + canvas.TextWidth(title) / 2, title, UpwardAngle);
}

void TXYGraph::DrawCurve(TCanvas& canvas, const TCurve& curve)
{
    canvas.SetPen(curve.Color, curve.PenWidth, curve.PenStyle);
    curvePath_.Build(curve, Mapping(), ReducesColumns(curve, xAxis_.PixelLength()));
    const QPoint* run = curvePath_.Vertices().data();
    for (int length : curvePath_.RunLengths()) {
        canvas.Polyline(run, length);
        run += length;
    }

    for (const TCurveLabel& label : curve.Labels) {
        if (!curve.HasPoint(label.PointIndex))
            continue;
        const QPointF point = DisplayedPoint(curve, label.PointIndex);
        canvas.SetFont(curve.LabelFont);
        canvas.SetTextColor(label.Color);
        canvas.TextOut(XToPixel(point.x()) + label.DX, YToPixel(point.y()) + label.DY, Latin1(label.Text));
    }
    for (const TCurveMarker& marker : curve.Markers) {
        if (!curve.HasPoint(marker.PointIndex))
            continue;
        const QPointF point = DisplayedPoint(curve, marker.PointIndex);
        DrawMarker(canvas, marker.Kind, marker.Color, curve.MarkerSize, XToPixel(point.x()), YToPixel(point.y()));
    }
}

void TXYGraph::DrawMarker(TCanvas& canvas, std::uint8_t kind, TColor color, int s, int x, int y)
{
    canvas.SetPenColor(color);
    switch (kind) {
    case mkSquare: {
        const QPoint square[] = {{x - s, y - s}, {x + s, y - s}, {x + s, y + s}, {x - s, y + s}, {x - s, y - s}};
        canvas.Polyline(square, 5);
        break;
    }
    case mkCircle:
        canvas.Ellipse({x - s, y - s, x + s + 2, y + s + 2});
        break;
    case mkCross:
        canvas.Line(x - s + 1, y - s + 1, x + s, y + s);
        canvas.Line(x + s - 1, y - s + 1, x - s, y + s);
        break;
    default:
        break;
    }
}

// The whole picture goes to the surface the widget shows in one step (the
// surface shares the back buffer's pixels until the cursor mark is drawn on
// it), then the widget is brought up to date at once.
void TXYGraph::ShowBackBuffer()
{
    surface_ = backBuffer_;
    // No mark is on the new picture: pixels saved from under one on the old
    // picture must never be put back onto it.
    cursorSave_.reset();
    repaint();
}

void TXYGraph::DrawCursorMark()
{
    if (cursorSave_)
        RestoreCursorBackground();
    if (surface_.isNull())
        return;
    const int px = XToPixel(cursorX_);
    const int py = YToPixel(cursorY_);
    cursorRect_ = {px - CursorHalfSize, py - CursorHalfSize, px + CursorHalfSize + 1, py + CursorHalfSize + 1};
    cursorSave_ = surface_.copy(cursorRect_.Left, cursorRect_.Top, CursorSaveSize, CursorSaveSize);
    {
        TCanvas canvas(surface_);
        canvas.SetPen(CursorColor);
        canvas.SetClip(PlotArea());
        const TRect& r = cursorRect_;
        if (mouseMode_ == mmCursor) {
            canvas.Line(r.Left + 1, r.Top + 1, r.Right, r.Bottom);
            canvas.Line(r.Right - 1, r.Top + 1, r.Left, r.Bottom);
        } else {
            canvas.FrameRect(r, CursorColor);
        }
    }
    RepaintCursorArea();
}

void TXYGraph::RestoreCursorBackground()
{
    if (!cursorSave_)
        return;
    {
        QPainter painter(&surface_);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(cursorRect_.Left, cursorRect_.Top, *cursorSave_);
    }
    cursorSave_.reset();
    RepaintCursorArea();
}

void TXYGraph::RepaintCursorArea()
{
    repaint(cursorRect_.Left, cursorRect_.Top, CursorSaveSize, CursorSaveSize);
}

void TXYGraph::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(event->rect(), surface_, event->rect());
}

void TXYGraph::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    sizeChanged_ = true;
    Paint();
}
