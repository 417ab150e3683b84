#pragma once

#include "spectrum/ReferenceLines.h"

#include <vector>

// A peak as the pairing sees it: where (pixel), how strong and how wide.
struct TPeakSeen {
    double Pixel;
    double Height;
    double Fwhm; // pixels; NaN when unknown
};

// Suggests which reference line each peak is, from the order and spacing
// of the peaks alone: the strongest peaks and lines are tried as anchors of
// a straight pixel -> wavelength line, the best of them refined with a
// quadratic, and each peak then takes the one line that lies near it.
// Peaks near two lines (lines closer than the peak is wide) get none, as
// do peaks near no line and all but the 40 strongest peaks. Returns, per
// peak, the index of its line in `lines` or -1; an operator checks and
// edits these.
std::vector<int> SuggestPairings(const std::vector<TPeakSeen>& peaks, const std::vector<TReferenceLine>& lines);
