#include "spectrum/LinePairing.h"

#include "spectrum/CalibrationFit.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numeric>

namespace {

constexpr size_t AnchorPeaks = 12;
constexpr size_t AnchorLines = 16;
constexpr size_t RefinedHypotheses = 12;
// Only the strongest peaks are paired, which bounds the time a noisy frame
// of thousands of pixels takes.
constexpr size_t PairedPeaks = 40;

// The indexes of the `count` largest by `key`.
template <typename Key>
std::vector<size_t> Strongest(size_t size, size_t count, Key key)
{
    std::vector<size_t> order(size);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return key(a) > key(b); });
    order.resize(std::min(count, size));
    return order;
}

struct TMatch {
    std::vector<int> Lines; // per peak
    int Count = 0;
    double Spread = 0.0; // sum of squared misses, nm^2
};

// Each peak takes the one line within `tolerancePixels` of where the map
// puts it; none when two lines are that near or the line is already taken.
TMatch Match(const std::vector<TPeakSeen>& peaks, const std::vector<TReferenceLine>& lines,
             const std::function<double(double)>& map, double dispersion, double tolerancePixels)
{
    TMatch match;
    match.Lines.assign(peaks.size(), -1);
    std::vector<int> owner(lines.size(), -1);
    for (size_t p = 0; p < peaks.size(); ++p) {
        const double predicted = map(peaks[p].Pixel);
        const double width = std::isfinite(peaks[p].Fwhm) ? peaks[p].Fwhm : 0.0;
        const double tolerance = std::abs(dispersion) * std::max(tolerancePixels, width);
        int found = -1;
        int near = 0;
        for (size_t l = 0; l < lines.size(); ++l) {
            if (std::abs(lines[l].Wavelength - predicted) <= tolerance) {
                found = static_cast<int>(l);
                ++near;
            }
        }
        if (near != 1)
            continue;
        if (owner[static_cast<size_t>(found)] >= 0) {
            match.Lines[static_cast<size_t>(owner[static_cast<size_t>(found)])] = -1;
            continue;
        }
        owner[static_cast<size_t>(found)] = static_cast<int>(p);
        match.Lines[p] = found;
    }
    for (size_t p = 0; p < peaks.size(); ++p) {
        if (match.Lines[p] < 0)
            continue;
        const double miss = lines[static_cast<size_t>(match.Lines[p])].Wavelength - map(peaks[p].Pixel);
        ++match.Count;
        match.Spread += miss * miss;
    }
    return match;
}

bool Better(const TMatch& a, const TMatch& b)
{
    return a.Count > b.Count || (a.Count == b.Count && a.Spread < b.Spread);
}

// Refits the matched pairs (order 2 once there are enough) and matches
// again with a tighter tolerance.
TMatch Refine(const std::vector<TPeakSeen>& peaks, const std::vector<TReferenceLine>& lines, TMatch match,
              double firstPixel, double lastPixel)
{
    for (const double tolerance : {3.0, 2.0, 1.5}) {
        std::vector<TCalibrationPair> pairs;
        for (size_t p = 0; p < peaks.size(); ++p)
            if (match.Lines[p] >= 0)
                pairs.push_back({peaks[p].Pixel, lines[static_cast<size_t>(match.Lines[p])].Wavelength});
        if (pairs.size() < 2)
            return match;
        try {
            const TCalibrationFit fit =
                FitCalibration(pairs, pairs.size() >= 5 ? 2 : 1, firstPixel, lastPixel);
            const double dispersion = fit.Calibration.Dispersion(0.5 * (firstPixel + lastPixel));
            match = Match(peaks, lines, [&fit](double p) { return fit.Calibration.Wavelength(p); }, dispersion,
                          tolerance);
        } catch (const std::exception&) {
            return match;
        }
    }
    return match;
}

} // namespace

std::vector<int> SuggestPairings(const std::vector<TPeakSeen>& peaks, const std::vector<TReferenceLine>& lines)
{
    if (peaks.size() > PairedPeaks) {
        std::vector<size_t> strong =
            Strongest(peaks.size(), PairedPeaks, [&peaks](size_t i) { return peaks[i].Height; });
        std::sort(strong.begin(), strong.end());
        std::vector<TPeakSeen> subset;
        for (const size_t i : strong)
            subset.push_back(peaks[i]);
        const std::vector<int> paired = SuggestPairings(subset, lines);
        std::vector<int> all(peaks.size(), -1);
        for (size_t k = 0; k < strong.size(); ++k)
            all[strong[k]] = paired[k];
        return all;
    }
    TMatch best;
    best.Lines.assign(peaks.size(), -1);
    if (peaks.size() < 2 || lines.size() < 2)
        return best.Lines;
    double firstPixel = peaks.front().Pixel, lastPixel = firstPixel;
    for (const TPeakSeen& peak : peaks) {
        firstPixel = std::min(firstPixel, peak.Pixel);
        lastPixel = std::max(lastPixel, peak.Pixel);
    }

    const std::vector<size_t> anchorPeaks =
        Strongest(peaks.size(), AnchorPeaks, [&peaks](size_t i) { return peaks[i].Height; });
    const std::vector<size_t> anchorLines =
        Strongest(lines.size(), AnchorLines, [&lines](size_t i) { return lines[i].Intensity; });

    // Every straight line through two anchor peaks and two anchor lines,
    // matched loosely; the best few are refined.
    std::vector<TMatch> hypotheses;
    for (const size_t i : anchorPeaks)
        for (const size_t j : anchorPeaks) {
            if (!(peaks[j].Pixel > peaks[i].Pixel))
                continue;
            for (const size_t k : anchorLines)
                for (const size_t l : anchorLines) {
                    if (k == l)
                        continue;
                    const double slope =
                        (lines[l].Wavelength - lines[k].Wavelength) / (peaks[j].Pixel - peaks[i].Pixel);
                    const double origin = lines[k].Wavelength - slope * peaks[i].Pixel;
                    hypotheses.push_back(Match(
                        peaks, lines, [slope, origin](double p) { return origin + slope * p; }, slope, 4.0));
                }
        }
    const size_t keep = std::min(RefinedHypotheses, hypotheses.size());
    std::partial_sort(hypotheses.begin(), hypotheses.begin() + static_cast<std::ptrdiff_t>(keep), hypotheses.end(),
                      Better);
    for (size_t h = 0; h < keep; ++h) {
        TMatch refined = Refine(peaks, lines, hypotheses[h], firstPixel, lastPixel);
        if (Better(refined, best))
            best = std::move(refined);
    }
    return best.Lines;
}
