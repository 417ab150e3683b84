#include "app/CalibratedAxis.h"

#include "graph/Graph.h"
#include "spectrum/DecimalNumbers.h"

#include <algorithm>
#include <cmath>

namespace {

const std::string WavelengthTitle = "Wavelength (nm)";

void SetRange(TAxis& axis, double min, double max)
{
    // Each step keeps the minimum below the maximum.
    if (min < axis.Max()) {
        axis.SetMin(min);
        axis.SetMax(max);
    } else {
        axis.SetMax(max);
        axis.SetMin(min);
    }
}

} // namespace

TCalibratedAxis::TCalibratedAxis(TXYGraph& graph)
    : graph_(graph), pixelTitle_(graph.XAxis().Title()), pixelMin_(graph.XAxis().HomeMin()),
      pixelMax_(graph.XAxis().HomeMax())
{
    for (int pixel = FirstPixel; pixel <= LastPixel; ++pixel)
        x_[static_cast<size_t>(pixel - FirstPixel)] = pixel;
}

void TCalibratedAxis::SetCalibration(const std::optional<TWavelengthCalibration>& calibration)
{
    calibration_ = calibration;
    for (int pixel = FirstPixel; pixel <= LastPixel; ++pixel)
        x_[static_cast<size_t>(pixel - FirstPixel)] = calibration ? calibration->Wavelength(pixel) : pixel;

    // From the home view, so that the new home is not captured zoomed.
    graph_.ResetAxes();
    TAxis& axis = graph_.XAxis();
    if (calibration) {
        const double first = calibration->Wavelength(FirstPixel);
        const double last = calibration->Wavelength(LastPixel);
        SetRange(axis, std::min(first, last), std::max(first, last));
        axis.SetTitle(WavelengthTitle);
    } else {
        SetRange(axis, pixelMin_, pixelMax_);
        axis.SetTitle(pixelTitle_);
    }
    axis.CaptureHome();
    if (const TCurve* curve = graph_.Curve(0)) {
        for (size_t i = 0; i < curve->Points.size(); ++i)
            graph_.SetPoint(0, static_cast<int>(i), PlotX(FirstPixel + static_cast<int>(i)), curve->Points[i].Y);
    }
    graph_.Paint();
}

double TCalibratedAxis::PixelAt(double x) const
{
    return calibration_ ? calibration_->Pixel(x, FirstPixel, LastPixel) : x;
}

std::string TCalibratedAxis::PositionText(double x) const
{
    if (calibration_)
        return DecimalText(std::round(x * 100) / 100, 6) + " nm";
    return "pixel " + DecimalText(std::round(x * 10) / 10, 6);
}
