#include "spectrum/PeakFinder.h"

#include <Eigen/Dense>

#include <algorithm>
#include <cmath>

namespace {

// The value below which `fraction` of the values lie; 0 for none.
double Quantile(std::vector<double>& values, double fraction)
{
    if (values.empty())
        return 0.0;
    const auto at = values.begin() + static_cast<std::ptrdiff_t>(fraction * static_cast<double>(values.size() - 1));
    std::nth_element(values.begin(), at, values.end());
    return *at;
}

// The curve as heights above its baseline, peaks up. The baseline at a
// sample is the lower quartile of the `window` samples around it: it
// follows a slow hump of the sensor's response, which would otherwise bend
// the sides of a peak, and a cluster of lines lifts it less than a median.
std::vector<double> Heights(std::span<const double> values, bool peaksDown, int window)
{
    // Bounded, so that no difference of two heights overflows.
    constexpr double Limit = 1e150;
    std::vector<double> up;
    up.reserve(values.size());
    for (const double v : values)
        up.push_back(std::isfinite(v) ? std::clamp(peaksDown ? -v : v, -Limit, Limit) : std::nan(""));
    const auto size = static_cast<std::ptrdiff_t>(values.size());
    const std::ptrdiff_t reach = std::max(window, 1) / 2;
    std::vector<double> heights;
    heights.reserve(values.size());
    std::vector<double> around;
    for (std::ptrdiff_t i = 0; i < size; ++i) {
        around.clear();
        for (std::ptrdiff_t j = std::max<std::ptrdiff_t>(0, i - reach); j <= std::min(size - 1, i + reach); ++j)
            if (!std::isnan(up[static_cast<size_t>(j)]))
                around.push_back(up[static_cast<size_t>(j)]);
        const double v = up[static_cast<size_t>(i)];
        heights.push_back(std::isnan(v) ? 0.0 : v - Quantile(around, 0.25));
    }
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

// The top of a Gaussian fitted to the peak's samples above a quarter of
// its height (up to three on either side, while they fall): a weighted
// least-squares parabola through their logarithms, weighted by the squared
// heights since noise moves the logarithm of a low sample most. Far less
// moved by noise than three samples alone; those serve where fewer than
// four samples qualify.
TTop FitPeakTop(const std::vector<double>& h, size_t top)
{
    const TTop three = FitTop(h[top - 1], h[top], h[top + 1]);
    const double floor = 0.25 * h[top];
    // A side takes a sample only while the curve goes on falling past it: the
    // last sample before a rise is near a valley, which a neighbouring line
    // lifts.
    size_t low = top, high = top;
    while (low > 1 && top - low < 3 && h[low - 1] > floor && h[low - 1] <= h[low] && h[low - 2] < h[low - 1])
        --low;
    while (high + 2 < h.size() && high - top < 3 && h[high + 1] > floor && h[high + 1] <= h[high]
           && h[high + 2] < h[high + 1])
        ++high;
    if (high - low + 1 < 4 || low == top || high == top)
        return three;
    const auto count = static_cast<Eigen::Index>(high - low + 1);
    Eigen::MatrixXd design(count, 3);
    Eigen::VectorXd logs(count);
    for (Eigen::Index k = 0; k < count; ++k) {
        const size_t j = low + static_cast<size_t>(k);
        const double t = static_cast<double>(j) - static_cast<double>(top);
        const double weight = h[j];
        design.row(k) << weight, weight * t, weight * t * t;
        logs(k) = weight * std::log(h[j]);
    }
    const Eigen::Vector3d fit = design.colPivHouseholderQr().solve(logs);
    const double offset = -fit(1) / (2 * fit(2));
    const double height = std::exp(fit(0) - fit(1) * fit(1) / (4 * fit(2)));
    if (!(fit(2) < 0) || !std::isfinite(offset) || std::abs(offset) > 1.0 || !std::isfinite(height))
        return three;
    return {offset, height};
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
            // The fitted top may stand above the top sample: half of it can
            // lie below that sample already.
            if (inner <= half)
                return static_cast<double>(i);
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
    if (steps.empty())
        return 0.0;
    // The mean of the smaller three quarters of the steps: the largest are
    // the flanks of lines. Not the median, which whole-number readings
    // round to a whole number. For Gaussian noise of deviation sigma that
    // mean is 0.5147 sqrt(2) sigma.
    std::sort(steps.begin(), steps.end());
    const size_t kept = std::max<size_t>(1, steps.size() * 3 / 4);
    double sum = 0.0;
    for (size_t i = 0; i < kept; ++i)
        sum += std::min(steps[i], 1e300 / static_cast<double>(kept));
    const double noise = sum / static_cast<double>(kept) / (0.5147 * std::sqrt(2.0));
    return std::isfinite(noise) ? noise : 0.0;
}

std::vector<TPeak> FindPeaks(std::span<const double> values, const TPeakOptions& options)
{
    const std::vector<double> h = Heights(values, options.PeaksDown, options.BaselineWindow);
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
                                     : FitPeakTop(h, top);
            peaks.push_back({static_cast<int>(top), static_cast<double>(top) + fitted.Offset, fitted.Height,
                             prominence, Fwhm(h, top, fitted.Height)});
        }
        i = end;
    }
    return peaks;
}
