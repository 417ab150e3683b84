#pragma once

#include "graph/Persistent.h"

#include <cstdint>
#include <string>
#include <vector>

// One tick of an axis as the tick layout places it: its offset in pixels
// from the axis origin (pan included), whether it is a main tick, and for a
// main tick the value it carries.
struct TAxisTick {
    int Offset = 0;
    bool Main = false;
    double Value = 0.0;
};

// One axis of the graph: its world range, the tick settings, and the scale
// derived from them and from the axis length in pixels.
class TAxis : public TGraphPersistent {
public:
    TAxis();

    void Assign(const TAxis& source);

    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title);
    double Min() const { return min_; }
    void SetMin(double value);
    double Max() const { return max_; }
    void SetMax(double value);
    std::uint8_t MainTicks() const { return mainTicks_; }
    void SetMainTicks(std::uint8_t count);
    std::uint8_t SubTicks() const { return subTicks_; }
    void SetSubTicks(std::uint8_t count);
    std::uint8_t MainTickLen() const { return mainTickLen_; }
    void SetMainTickLen(std::uint8_t pixels);
    std::uint8_t SubTickLen() const { return subTickLen_; }
    void SetSubTickLen(std::uint8_t pixels);
    std::uint8_t Decimals() const { return decimals_; }
    void SetDecimals(std::uint8_t digits);
    bool ShowMainGrid() const { return showMainGrid_; }
    void SetShowMainGrid(bool show);
    bool ShowSubGrid() const { return showSubGrid_; }
    void SetShowSubGrid(bool show);

    int PixelLength() const { return pixelLength_; }
    void SetPixelLength(int pixels);
    double HomeMin() const { return homeMin_; }
    double HomeMax() const { return homeMax_; }
    double ZoomBase() const { return zoomBase_; }
    int PanPixels() const { return panPixels_; }
    void SetPanPixels(int pixels) { panPixels_ = pixels; }
    int PanSubTicks() const { return panSubTicks_; }

    double MainStep() const { return mainStep_; }
    double PixelsPerUnit() const { return pixelsPerUnit_; }
    int SubTickCount() const { return subTickCount_; }
    double SubTickPixels() const { return subTickPixels_; }
    double UnitsPerPixel() const { return unitsPerPixel_; }

    void Recalculate();
    int ValueToPixel(double value) const;
    double PixelToValue(int pixel) const;
    // Widens (factor > 1) or narrows the range about its centre. A factor
    // that would leave no range is ignored.
    void Zoom(double factor);
    bool CanZoom(double factor) const;
    void CenterOn(double value);
    double GetCenter() const;
    void MoveRange(double newMin, double newMax);

    // The current range becomes the home range.
    void CaptureHome();
    // Back to the home range, unzoomed and unpanned.
    void RestoreHome();

    // Places the ticks for painting, in the order of the walk; folds a pan
    // of a whole main-tick distance or more into the range first.
    std::vector<TAxisTick> LayoutTicks();

private:
    void Changed();
    bool AcceptsRange(double newMin, double newMax) const;
    bool ZoomedRange(double factor, double& newMin, double& newMax) const;

    std::string title_ = "Axis-Title";
    double min_ = 0.0;
    double max_ = 10.0;
    std::uint8_t mainTicks_ = 5;
    std::uint8_t subTicks_ = 5;
    std::uint8_t mainTickLen_ = 10;
    std::uint8_t subTickLen_ = 5;
    std::uint8_t decimals_ = 2;
    bool showMainGrid_ = true;
    bool showSubGrid_ = false;

    int pixelLength_ = 200;
    double homeMin_ = 0.0;
    double homeMax_ = 10.0;
    double zoomBase_ = 1.0;
    int panPixels_ = 0;
    int panSubTicks_ = 0;

    double mainStep_ = 0.0;
    double pixelsPerUnit_ = 0.0;
    int subTickCount_ = 0;
    double subTickPixels_ = 0.0;
    double unitsPerPixel_ = 0.0;
};
