#include "spectrum/SpectrumProcessing.h"

#include "spectrum/SpectrumErrors.h"

#include <algorithm>
#include <cmath>

const TModeInfo& ModeInfo(TProcessingMode mode)
{
    static const TModeInfo infos[]{
        {"Scope", "Value", false, false},
        {"Scope Minus Dark", "Counts above dark", true, false},
        {"Transmittance", "Transmittance (%)", true, true},
        {"Absorbance", "Absorbance", true, true},
    };
    return infos[static_cast<int>(mode)];
}

void TSpectrumProcessor::SetSmoothing(int width)
{
    smoothing_ = std::clamp(width, 0, MaxSmoothing);
}

void TSpectrumProcessor::TakeReference(const TFrameAveraging& averaging, const TFrameLayout& layout)
{
    if (!averaging.HasFrame())
        throw ESpectrum("There is no frame to take as the reference yet");
    if (!averaging.HasDark())
        throw ESpectrum("Take a dark frame before the reference");
    std::vector<double> reference;
    for (int x = averaging.FirstX(); x <= averaging.LastX(); ++x)
        reference.push_back(layout.Light(averaging.Mean(x)) - layout.Light(averaging.Dark(x)));
    reference_ = std::move(reference);
}

void TSpectrumProcessor::Process(const TFrameDecoder& decoder, const TFrameAveraging& averaging,
                                 TProcessedSpectrum& out) const
{
    const TFrameLayout& layout = decoder.Layout();
    const TModeInfo& info = ModeInfo(mode_);
    const int first = averaging.FirstX();
    const int last = averaging.LastX();
    out.Points.clear();
    out.SaturatedPixels.clear();
    out.Peak = 0.0;
    for (int x = first; x <= last; ++x) {
        const double light = x <= layout.MaxFields ? layout.Light(decoder.FieldValue(x)) : 0.0;
        out.Peak = x == first ? light : std::max(out.Peak, light);
        if (light >= layout.FullScale)
            out.SaturatedPixels.push_back(x);
    }
    out.SignalText.clear();
    if (!out.SaturatedPixels.empty())
        out.SignalText = "Saturated: " + std::to_string(out.SaturatedPixels.size()) + " pixels";
    else if (out.Peak < LowSignalShare * layout.FullScale)
        out.SignalText = "Low signal";

    out.Missing.clear();
    if (info.NeedsDark && !averaging.HasDark())
        out.Missing = "No dark frame: take one first";
    else if (info.NeedsReference && (!reference_ || reference_->size() != std::size_t(last - first + 1)))
        out.Missing = "No reference: take one first";
    if (!out.Missing.empty() || !averaging.HasFrame())
        return;

    out.Points.reserve(std::size_t(last - first + 1));
    for (int x = first; x <= last; ++x) {
        TSpectrumPoint point{double(x), 0.0, true};
        const double signal = layout.Light(averaging.Mean(x)) - layout.Light(averaging.Dark(x));
        switch (mode_) {
        case TProcessingMode::Scope:
            point.Y = decoder.PlotValue(averaging.Reading(x));
            break;
        case TProcessingMode::ScopeMinusDark:
            point.Y = signal;
            break;
        case TProcessingMode::Transmittance:
        case TProcessingMode::Absorbance: {
            const double reference = (*reference_)[std::size_t(x - first)];
            const double ratio = reference > 0.0 ? signal / reference : 0.0;
            point.Present = ratio > 0.0 && std::isfinite(ratio);
            point.Y = !point.Present ? 0.0 : mode_ == TProcessingMode::Transmittance ? 100.0 * ratio : -std::log10(ratio);
            break;
        }
        }
        out.Points.push_back(point);
    }
    Smooth(out.Points);
}

void TSpectrumProcessor::Smooth(std::vector<TSpectrumPoint>& points) const
{
    if (smoothing_ <= 1)
        return;
    // A centred window of present points; a gap stays a gap and lends its
    // neighbours nothing.
    const int before = (smoothing_ - 1) / 2;
    const int after = smoothing_ / 2;
    const int count = int(points.size());
    std::vector<double> sums(std::size_t(count) + 1, 0.0);
    std::vector<int> present(std::size_t(count) + 1, 0);
    for (int i = 0; i < count; ++i) {
        sums[std::size_t(i) + 1] = sums[std::size_t(i)] + (points[std::size_t(i)].Present ? points[std::size_t(i)].Y : 0.0);
        present[std::size_t(i) + 1] = present[std::size_t(i)] + (points[std::size_t(i)].Present ? 1 : 0);
    }
    for (int i = 0; i < count; ++i) {
        TSpectrumPoint& point = points[std::size_t(i)];
        if (!point.Present)
            continue;
        const std::size_t from = std::size_t(std::max(i - before, 0));
        const std::size_t to = std::size_t(std::min(i + after, count - 1)) + 1;
        point.Y = (sums[to] - sums[from]) / (present[to] - present[from]);
    }
}

std::pair<double, double> TSpectrumProcessor::YRange(TProcessingMode mode, const TFrameLayout& layout)
{
    switch (mode) {
    case TProcessingMode::Transmittance:
        return {0.0, 125.0};
    case TProcessingMode::Absorbance:
        return {0.0, 2.0};
    case TProcessingMode::Scope:
    case TProcessingMode::ScopeMinusDark:
        break;
    }
    return {0.0, double(layout.FullScale)};
}
