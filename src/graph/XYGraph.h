#pragma once

#include "graph/Axis.h"
#include "graph/Canvas.h"
#include "graph/Colors.h"
#include "graph/Curve.h"
#include "graph/CurvePath.h"
#include "graph/Fonts.h"
#include "graph/Positions.h"

#include <QImage>
#include <QWidget>

#include <memory>
#include <optional>
#include <string>
#include <vector>

enum TMouseMode : std::uint8_t { mmNone, mmMove, mmInsert, mmDelete, mmCursor };

// An XY graph: two axes with ticks, grids and titles, a graph title, and any
// number of named curves with labels and markers. The picture is drawn
// whole into a back buffer and copied to the widget's surface in one go.
//
// Curve and point operations ignore bad curve or point indexes and do not
// repaint; the caller calls Paint once after a batch.
class TXYGraph : public QWidget {
    Q_OBJECT
public:
    explicit TXYGraph(QWidget* parent = nullptr);
    ~TXYGraph() override;

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
    // Called once per point for whole spectra, so kept inline.
    void AddPoint(int curveIndex, double x, double y)
    {
        if (curveIndex >= 0 && curveIndex < CurveCount())
            curves_[std::size_t(curveIndex)]->Points.push_back({x, y});
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
    void SetMouseMode(TMouseMode mode) { mouseMode_ = mode; }
    bool CursorShown() const { return cursorShown_; }
    void SetCursorShown(bool shown) { cursorShown_ = shown; }
    double CursorX() const { return cursorX_; }
    void SetCursorX(double x) { cursorX_ = x; }
    double CursorY() const { return cursorY_; }
    void SetCursorY(double y) { cursorY_ = y; }

    // Painting
    void Paint();
    void DrawCursorMark();
    void RestoreCursorBackground();
    const QImage& BackBuffer() const { return backBuffer_; }
    // What the widget shows: the last picture plus the cursor mark.
    const QImage& Surface() const { return surface_; }
    const TRect& CursorRect() const { return cursorRect_; }
    bool CursorSaved() const { return cursorSave_.has_value(); }

    // The handler of every settings object's change notification.
    void PropertyChanged(TGraphPersistent* sender);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    TRect PlotArea() const;
    TPixelMapping Mapping() const;
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

    std::vector<std::unique_ptr<TCurve>> curves_;
    std::vector<TCurvePoint> sparePoints_;
    TCurvePath curvePath_;
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
    TRect cursorRect_;
    std::optional<QImage> cursorSave_;
    bool isLoaded_ = false;
    bool sizeChanged_ = false;
};
