#pragma once

#include "common/EnumSet.h"
#include "graph/Axis.h"
#include "graph/Canvas.h"
#include "graph/Colors.h"
#include "graph/Controls.h"
#include "graph/Curve.h"
#include "graph/CurvePath.h"
#include "graph/Fonts.h"
#include "graph/HintPanel.h"
#include "graph/Positions.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

enum TMouseMode : std::uint8_t { mmNone, mmMove, mmInsert, mmDelete, mmCursor };

enum TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };
// Keys and buttons held at a mouse event; ssDouble marks the second press
// of a double click.
enum TShiftStateFlag : std::uint8_t { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TEnumSet<TShiftStateFlag>;

// Passed to OffsetPanCurves for an axis whose offsets stay as they are.
inline constexpr double NoValue = -9.9e16;

// An XY graph: two axes with ticks, grids and titles, a graph title, and any
// number of named curves with labels and markers. The picture is drawn
// whole into a back buffer and copied to the widget's surface in one go.
//
// Curve and point operations ignore bad curve or point indexes and do not
// repaint; the caller calls Paint once after a batch.
//
// The mouse pans (left drag), glides to a point and zooms (right press and
// drag) and resets the view (left double click); attached controls (see
// TControls) choose modes that pick, move, insert and delete points or set
// a reference cursor, and show the read-outs.
class TXYGraph : public QWidget {
    Q_OBJECT
public:
    using TMouseEvent = std::function<void(TXYGraph* sender, TMouseButton button, TShiftState shift, int x, int y)>;
    using TMouseMoveEvent = std::function<void(TXYGraph* sender, TShiftState shift, int x, int y)>;

    explicit TXYGraph(QWidget* parent = nullptr);
    ~TXYGraph() override;

    // Raised by the mouse entry points before the graph's own handling.
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;

    // Settings
    TColors& Colors() { return colors_; }
    void SetColors(const TColors& colors) { colors_.Assign(colors); }
    TFonts& Fonts() { return fonts_; }
    void SetFonts(const TFonts& fonts) { fonts_.Assign(fonts); }
    TPositions& Positions() { return positions_; }
    void SetPositions(const TPositions& positions) { positions_.Assign(positions); }
    TAxis& XAxis() { return xAxis_; }
    void SetXAxis(const TAxis& axis) { xAxis_.Assign(axis); }
    TAxis& YAxis() { return yAxis_; }
    void SetYAxis(const TAxis& axis) { yAxis_.Assign(axis); }
    const std::string& GraphTitle() const { return graphTitle_; }
    void SetGraphTitle(const std::string& title);
    double MaxZoom() const { return maxZoom_; }
    void SetMaxZoom(double factor) { maxZoom_ = factor; }
    TControls& Controls() { return controls_; }
    THintPanel& HintPanel() { return *hintPanel_; }
    // Also sets the check mark of the attached HintPanel check box.
    void ShowHintPanel(bool visible);

    // Loading of stored settings: repaints caused by setting changes wait
    // until Loaded, which also makes the loaded ranges the home view.
    void BeginLoading();
    void Loaded();
    bool IsLoaded() const { return isLoaded_; }

    // Curves and points
    int AddCurve(const std::string& name, TColor color, std::uint8_t penWidth, std::uint8_t penStyle, bool visible);
    void DeleteCurve(int index);
    bool FindCurve(const std::string& name, int& index) const;
    int CurveCount() const { return int(curves_.size()); }
    // The curve at index, or nullptr.
    TCurve* Curve(int index);
    const TCurve* Curve(int index) const;
    // Called once per point for whole spectra, so kept inline and lean: a
    // negative index converts to one past every curve. Each batch of points
    // goes into the curve's column summary while it is still in the cache.
    void AddPoint(int curveIndex, double x, double y)
    {
        if (std::size_t(curveIndex) < curves_.size()) {
            TCurve& curve = *curves_[std::size_t(curveIndex)];
            curve.Points.push_back({x, y});
            if (curve.Columns.BatchAppended())
                UpdateColumns(curve);
        }
    }
    // Appends `count` points in one go; ignored for a bad curve index.
    void AddPoints(int curveIndex, const TCurvePoint* points, std::size_t count);
    void InsertPoint(int curveIndex, int pointIndex, double x, double y);
    void DeletePoint(int curveIndex, int pointIndex);
    void SetPoint(int curveIndex, int pointIndex, double x, double y);
    void GetPoint(int curveIndex, int pointIndex, double& x, double& y) const;
    void SetCurveXOffset(int curveIndex, double offset);
    void SetCurveYOffset(int curveIndex, double offset);
    double GetCurveXOffset(int curveIndex) const;
    double GetCurveYOffset(int curveIndex) const;
    // Labels and markers name their point by index; one naming no point is
    // not drawn.
    void AddLabel(int curveIndex, int pointIndex, const std::string& text, TColor color, int dx, int dy);
    void AddMarker(int curveIndex, int pointIndex, std::uint8_t kind, TColor color);
    // Moves every ticked curve of the pan list by `ax` and `ay` (relative)
    // or places its offsets there; NoValue leaves an axis alone.
    void OffsetPanCurves(bool relative, double ax, double ay);

    // View
    void ResetAxes();
    void SetZoom(double factor);
    double CurrentZoom() const { return currentZoom_; }
    double HomeZoom() const { return homeZoom_; }
    void SetBounds(int left, int top, int width, int height);
    bool SizeChanged() const { return sizeChanged_; }

    // Mapping between world values and control pixels
    int XToPixel(double x) const;
    int YToPixel(double y) const;
    double PixelToX(int column) const;
    double PixelToY(int row) const;

    // Mouse interaction state
    bool KeepAspect() const { return keepAspect_; }
    void SetKeepAspect(bool keep) { keepAspect_ = keep; }
    bool PanCurves() const { return panCurves_; }
    void SetPanCurves(bool pan) { panCurves_ = pan; }
    TMouseMode MouseMode() const { return mouseMode_; }
    // Also ticks the attached radio button of the mode.
    void SetMouseMode(TMouseMode mode);
    bool CursorShown() const { return cursorShown_; }
    void SetCursorShown(bool shown) { cursorShown_ = shown; }
    double CursorX() const { return cursorX_; }
    void SetCursorX(double x) { cursorX_ = x; }
    double CursorY() const { return cursorY_; }
    void SetCursorY(double y) { cursorY_ = y; }
    int PickedCurve() const { return pickedCurve_; }
    int PickedPoint() const { return pickedPoint_; }
    int ShownCurve() const { return shownCurve_; }
    int ShownPoint() const { return shownPoint_; }
    int LastMouseX() const { return lastMouseX_; }
    int LastMouseY() const { return lastMouseY_; }
    bool ShiftHeld() const { return shiftHeld_; }

    // Steps of the mouse interaction; x and y are control pixels, dx and dy
    // mouse motion in pixels.
    void PanStep(int dx, int dy);
    // One zoom step; only the signs of dx and dy count.
    void ZoomStep(int dx, int dy);
    // Moves the view centre to the clicked point in ten painted steps.
    void GlideCenter(int x, int y);
    void ShowMousePosition(int x, int y);
    void PlaceCursor(int x, int y);
    void ShowCursorDelta(int x, int y);
    void MovePickedPoint(int dx, int dy);
    // Picks the point under the mouse and shows its details.
    void HoverPick(int x, int y);
    // Hit test at pixels from the plot's left and bottom edge: the first
    // point within 10 pixels on both axes, replaced by a later one strictly
    // closer on one axis and within 10 pixels on the other.
    void PickPoint(int px, int py);
    void SetPickedX(double value);
    void SetPickedY(double value);
    // The slope from (x1, y1) to (x2, y2) in degrees, -90 to 90, positive
    // when the segment rises from the first point.
    static double SegmentAngle(double x1, double y1, double x2, double y2);

    // Read-outs on the attached outputs; absent outputs are skipped.
    void EnableValueOutputs(bool on);
    void ShowModeText(const std::string& text);
    void ShowCurveName(const std::string& text);
    void ShowItemIndex(int index);
    void ShowItemColor(TColor color);
    void ShowValues(double x, double y);
    void ShowAngle(double angle);

    // Handlers of the attached controls; `sender` is the control.
    void ControlButtonClick(QObject* sender);
    void ModeRadioClick(QObject* sender);
    void OptionCheckClick(QObject* sender);
    void ListCheckClick(QObject* sender);
    void XInExit(QObject* sender);
    void YInExit(QObject* sender);

    // Painting
    void Paint();
    void DrawCursorMark();
    void RestoreCursorBackground();
    const QImage& BackBuffer() const { return backBuffer_; }
    // What the widget shows: the last picture plus the cursor mark.
    const QImage& Surface() const { return surface_; }
    const TRect& CursorRect() const { return cursorRect_; }
    bool CursorSaved() const { return cursorSave_.has_value(); }
    // Complete pictures drawn so far.
    int PaintCount() const { return paintCount_; }

    // The handler of every settings object's change notification.
    void PropertyChanged(TGraphPersistent* sender);

protected:
    // The mouse entry points, fed by the toolkit's mouse events; while a
    // button is held the moves keep coming, also from outside the control.
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void DblClick();
    virtual void TriggerMouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void TriggerMouseMove(TShiftState shift, int x, int y);
    virtual void TriggerMouseUp(TMouseButton button, TShiftState shift, int x, int y);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // The curve at index; an index without a curve is the list's index error.
    TCurve& CurveAt(int index);
    void PressLeft(int x, int y);
    bool ReadPickedPoint();
    void PlacePickedPoint(double x, double y);
    void ClearAll();
    TRect PlotArea() const;
    TPixelMapping Mapping() const;
    void UpdateColumns(const TCurve& curve) const;
    void RenderBackBuffer();
    void DrawXAxis(TCanvas& canvas);
    void DrawYAxis(TCanvas& canvas);
    void DrawCurve(TCanvas& canvas, const TCurve& curve);
    void DrawMarker(TCanvas& canvas, std::uint8_t kind, TColor color, int size, int x, int y);
    void ShowBackBuffer();
    void RepaintCursorArea();

    TAxis xAxis_;
    TAxis yAxis_;
    TColors colors_;
    TFonts fonts_;
    TPositions positions_;
    std::string graphTitle_;
    double maxZoom_ = 5.0;
    TControls controls_{*this};
    THintPanel* hintPanel_ = nullptr;

    std::vector<std::unique_ptr<TCurve>> curves_;
    std::vector<TCurvePoint> sparePoints_;
    TCurvePath curvePath_;
    TTextLayouts textLayouts_;
    QImage backBuffer_;
    QImage spareBuffer_;
    QImage surface_;

    double currentZoom_ = 1.0;
    double homeZoom_ = 1.0;
    bool keepAspect_ = true;
    bool panCurves_ = false;
    TMouseMode mouseMode_ = mmNone;
    bool cursorShown_ = false;
    double cursorX_ = 0.0;
    double cursorY_ = 0.0;
    int pickedCurve_ = 0;
    int pickedPoint_ = 0;
    int shownCurve_ = -1;
    int shownPoint_ = -1;
    int lastMouseX_ = 0;
    int lastMouseY_ = 0;
    bool shiftHeld_ = false;
    int paintCount_ = 0;
    TRect cursorRect_;
    std::optional<QImage> cursorSave_;
    bool isLoaded_ = false;
    bool sizeChanged_ = false;
};
