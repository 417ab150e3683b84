#include "spectrum/PeakFinder.h"

#include <algorithm>
#include <cmath>

namespace {

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

// The curve as heights above its baseline, peaks up.
std::vector<double> Heights(std::span<const double> values, bool peaksDown)
{
    std::vector<double> finite;
    for (const double v : values)
        if (std::isfinite(v))
            finite.push_back(v);
    const double baseline = Median(finite);
    std::vector<double> heights;
    heights.reserve(values.size());
    // Bounded, so that no difference of two heights overflows.
    constexpr double Limit = 1e150;
    for (const double v : values)
        heights.push_back(std::isfinite(v) ? std::clamp(peaksDown ? baseline - v : v - baseline, -Limit, Limit) : 0.0);
    return heights;
}

struct TTop {
    double Offset; // from the middle sample, -0.5..0.5
    double Height;
};

// The top of a Gaussian through three samples (a parabola where they are
// not all above the baseline).
TTop FitTop(double left, double middle, double right)
{
    if (left > 0 && middle > 0 && right > 0) {
        const double l = std::log(left), m = std::log(middle), r = std::log(right);
        const double curvature = l - 2 * m + r;
        const double offset = 0.5 * (l - r) / curvature;
        // Two equal top samples put it at 0.5, give or take a rounding.
        if (curvature < 0 && std::abs(offset) <= 0.5 + 1e-9) {
            const double height = std::exp(m - 0.125 * (l - r) * (l - r) / curvature);
            return {std::clamp(offset, -0.5, 0.5), std::isfinite(height) ? std::max(height, middle) : middle};
        }
    }
    const double curvature = left - 2 * middle + right;
    const double offset = 0.5 * (left - right) / curvature;
    if (!(curvature < 0) || !std::isfinite(offset))
        return {0.0, middle};
    const double clamped = std::clamp(offset, -0.5, 0.5);
    const double height = middle + 0.25 * (right - left) * clamped;
    return {clamped, std::isfinite(height) ? std::max(height, middle) : middle};
}

double Prominence(const std::vector<double>& h, size_t top)
{
    const auto side = [&h, top](int step) {
        double lowest = h[top];
        for (auto i = static_cast<std::ptrdiff_t>(top) + step; i >= 0 && i < static_cast<std::ptrdiff_t>(h.size());
             i += step) {
            if (h[static_cast<size_t>(i)] > h[top])
                break;
            lowest = std::min(lowest, h[static_cast<size_t>(i)]);
        }
        return lowest;
    };
    return h[top] - std::max(side(-1), side(+1));
}

double Fwhm(const std::vector<double>& h, size_t top, double height)
{
    const double half = 0.5 * height;
    const auto crossing = [&](int step) -> double {
        const auto size = static_cast<std::ptrdiff_t>(h.size());
        for (auto i = static_cast<std::ptrdiff_t>(top); i + step >= 0 && i + step < size; i += step) {
            const double inner = h[static_cast<size_t>(i)];
            const double outer = h[static_cast<size_t>(i + step)];
            if (outer <= half)
                return static_cast<double>(i) + step * (inner - half) / (inner - outer);
        }
        return std::numeric_limits<double>::quiet_NaN();
    };
    return crossing(+1) - crossing(-1);
}

} // namespace

double CurveNoise(std::span<const double> values)
{
    std::vector<double> steps;
    for (size_t i = 1; i < values.size(); ++i)
        if (std::isfinite(values[i]) && std::isfinite(values[i - 1]))
            steps.push_back(std::abs(values[i] - values[i - 1]));
    // The median absolute step of Gaussian noise is 0.6745 sqrt(2) sigma.
    const double noise = Median(steps) / (0.6745 * std::sqrt(2.0));
    return std::isfinite(noise) ? noise : 0.0;
}

std::vector<TPeak> FindPeaks(std::span<const double> values, const TPeakOptions& options)
{
    const std::vector<double> h = Heights(values, options.PeaksDown);
    const double automatic = std::max(6.0 * CurveNoise(values), 1.0);
    const double minHeight = std::isnan(options.MinHeight) ? automatic : options.MinHeight;
    const double minProminence = std::isnan(options.MinProminence) ? minHeight : options.MinProminence;

    std::vector<TPeak> peaks;
    for (size_t i = 1; i + 1 < h.size(); ++i) {
        if (!(h[i] > h[i - 1]) || h[i] < h[i + 1] || h[i] < minHeight)
            continue;
        // A flat top of three or more samples (a saturated line) counts
        // once, at its middle; two equal samples are an ordinary top.
        size_t end = i;
        while (end + 1 < h.size() && h[end + 1] == h[i])
            ++end;
        if (end + 1 == h.size() || h[end + 1] > h[i]) {
            i = end;
            continue;
        }
        const bool flat = end >= i + 2;
        const size_t top = flat ? (i + end) / 2 : i;
        const double prominence = Prominence(h, top);
        if (prominence >= minProminence) {
            const TTop fitted = flat ? TTop{(end - i) % 2 == 1 ? 0.5 : 0.0, h[top]}
                                     : FitTop(h[top - 1], h[top], h[top + 1]);
            peaks.push_back({static_cast<int>(top), static_cast<double>(top) + fitted.Offset, fitted.Height,
                             prominence, Fwhm(h, top, fitted.Height)});
        }
        i = end;
    }
    return peaks;
}
