#include "graph/Axis.h"

#include "graph/Rounding.h"
#include "graph/ShortText.h"

#include <cmath>

namespace {

constexpr std::uint8_t MaxDecimals = 4;

} // namespace

TAxis::TAxis()
{
    Recalculate();
}

void TAxis::Assign(const TAxis& source)
{
    title_ = source.title_;
    min_ = source.min_;
    max_ = source.max_;
    mainTicks_ = source.mainTicks_;
    subTicks_ = source.subTicks_;
    mainTickLen_ = source.mainTickLen_;
    subTickLen_ = source.subTickLen_;
    decimals_ = source.decimals_;
    showMainGrid_ = source.showMainGrid_;
    showSubGrid_ = source.showSubGrid_;
    homeMin_ = min_;
    homeMax_ = max_;
    Changed();
}

void TAxis::Changed()
{
    Recalculate();
    TriggerChange();
}

void TAxis::SetTitle(const std::string& title)
{
    const std::string cut = CutShortText(title);
    if (cut != title_)
        title_ = cut;
    TriggerChange();
}

// A range must be finite and have a finite, positive width: anything else
// would turn every mapped position into nonsense.
bool TAxis::AcceptsRange(double newMin, double newMax) const
{
    return std::isfinite(newMin) && std::isfinite(newMax) && newMin < newMax && std::isfinite(newMax - newMin);
}

void TAxis::SetMin(double value)
{
    if (value == min_ || !AcceptsRange(value, max_))
        return;
    min_ = value;
    homeMin_ = value;
    Changed();
}

void TAxis::SetMax(double value)
{
    if (value == max_ || !AcceptsRange(min_, value))
        return;
    max_ = value;
    homeMax_ = value;
    Changed();
}

void TAxis::SetMainTicks(std::uint8_t count)
{
    if (count != 0)
        mainTicks_ = count;
    Changed();
}

void TAxis::SetSubTicks(std::uint8_t count)
{
    if (count != 0)
        subTicks_ = count;
    Changed();
}

void TAxis::SetMainTickLen(std::uint8_t pixels)
{
    mainTickLen_ = pixels;
    Changed();
}

void TAxis::SetSubTickLen(std::uint8_t pixels)
{
    subTickLen_ = pixels;
    Changed();
}

void TAxis::SetDecimals(std::uint8_t digits)
{
    if (digits <= MaxDecimals)
        decimals_ = digits;
    Changed();
}

void TAxis::SetShowMainGrid(bool show)
{
    showMainGrid_ = show;
    TriggerChange();
}

void TAxis::SetShowSubGrid(bool show)
{
    showSubGrid_ = show;
    TriggerChange();
}

void TAxis::SetPixelLength(int pixels)
{
    if (pixels == pixelLength_)
        return;
    pixelLength_ = pixels;
    Changed();
}

void TAxis::Recalculate()
{
    const double width = max_ - min_;
    mainStep_ = width / mainTicks_;
    pixelsPerUnit_ = pixelLength_ / width;
    subTickCount_ = mainTicks_ * subTicks_;
    subTickPixels_ = double(pixelLength_) / subTickCount_;
    // An axis of no length has no scale; its positions all map to Min.
    unitsPerPixel_ = pixelLength_ == 0 ? 0.0 : mainStep_ / (subTicks_ * subTickPixels_);
}

int TAxis::ValueToPixel(double value) const
{
    return SaturateToPixel(RoundHalfEven((value - min_) * pixelsPerUnit_) + panPixels_);
}

double TAxis::PixelToValue(int pixel) const
{
    return (double(pixel) - panPixels_) * unitsPerPixel_ + min_;
}

bool TAxis::ZoomedRange(double factor, double& newMin, double& newMax) const
{
    const double width = max_ - min_;
    const double zoomedWidth = width / (factor * zoomBase_);
    newMin = min_ - width + zoomedWidth;
    newMax = max_ + width - zoomedWidth;
    return AcceptsRange(newMin, newMax);
}

bool TAxis::CanZoom(double factor) const
{
    double newMin = 0.0;
    double newMax = 0.0;
    return ZoomedRange(factor, newMin, newMax);
}

void TAxis::Zoom(double factor)
{
    double newMin = 0.0;
    double newMax = 0.0;
    if (!ZoomedRange(factor, newMin, newMax))
        return;
    min_ = newMin;
    max_ = newMax;
    Recalculate();
}

void TAxis::CenterOn(double value)
{
    const double width = max_ - min_;
    const double newMin = value - width / 2;
    const double newMax = value + width / 2;
    if (!AcceptsRange(newMin, newMax))
        return;
    min_ = newMin;
    max_ = newMax;
    Recalculate();
}

double TAxis::GetCenter() const
{
    return min_ + (max_ - min_) / 2;
}

void TAxis::MoveRange(double newMin, double newMax)
{
    if (newMin < max_ && newMax > min_) {
        min_ = newMin;
        max_ = newMax;
    }
}

void TAxis::CaptureHome()
{
    homeMin_ = min_;
    homeMax_ = max_;
    Recalculate();
}

void TAxis::RestoreHome()
{
    zoomBase_ = 1.0;
    panPixels_ = 0;
    min_ = homeMin_;
    max_ = homeMax_;
    Recalculate();
}
