#pragma once

#include "app/FrameDecoder.h"
#include "spectrum/WavelengthCalibration.h"

#include <array>
#include <optional>
#include <string>

class TXYGraph;

// The x axis of the window's spectrum: sensor pixels as specified, or, with
// a wavelength calibration, nanometres. Calibrated, the axis is titled
// "Wavelength (nm)" and its home view (Reset Axis, double click) is the
// calibrated range of the plotted pixels; cleared, the graph's own title
// and range come back.
class TCalibratedAxis {
public:
    static constexpr int FirstPixel = TFrameDecoder::FirstPlottedField;
    static constexpr int LastPixel = TFrameDecoder::LastPlottedField;

    // Remembers the graph's uncalibrated title and home range.
    explicit TCalibratedAxis(TXYGraph& graph);

    const std::optional<TWavelengthCalibration>& Calibration() const { return calibration_; }
    // Sets the axis, moves the points of the graph's curve to their new x
    // and paints. The calibration must be monotonic over the plotted pixels.
    void SetCalibration(const std::optional<TWavelengthCalibration>& calibration);

    // The x at which the pixel's value is plotted.
    double PlotX(int pixel) const
    {
        return pixel >= FirstPixel && pixel <= LastPixel ? x_[static_cast<size_t>(pixel - FirstPixel)] : pixel;
    }
    // The pixel plotted at x (fractional).
    double PixelAt(double x) const;
    // x as the operator reads it: "546.07 nm" or "pixel 224.6".
    std::string PositionText(double x) const;

private:
    TXYGraph& graph_;
    std::string pixelTitle_;
    double pixelMin_;
    double pixelMax_;
    std::optional<TWavelengthCalibration> calibration_;
    std::array<double, TFrameDecoder::PlottedPoints> x_{};
};
