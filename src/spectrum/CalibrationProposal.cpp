#include "spectrum/CalibrationProposal.h"

#include "spectrum/LinePairing.h"

std::vector<TCalibrationPair> TCalibrationProposal::Pairs(const std::vector<TReferenceLine>& lines) const
{
    std::vector<TCalibrationPair> pairs;
    for (size_t p = 0; p < Peaks.size() && p < Lines.size(); ++p)
        if (Lines[p] >= 0 && static_cast<size_t>(Lines[p]) < lines.size())
            pairs.push_back({PeakPixel(p), lines[static_cast<size_t>(Lines[p])].Wavelength});
    return pairs;
}

TCalibrationProposal ProposeCalibration(std::span<const double> curve, double firstPixel,
                                        const std::vector<TReferenceLine>& lines, const TPeakOptions& options)
{
    TCalibrationProposal proposal;
    proposal.FirstPixel = firstPixel;
    proposal.Peaks = FindPeaks(curve, options);
    std::vector<TPeakSeen> seen;
    for (const TPeak& peak : proposal.Peaks)
        seen.push_back({firstPixel + peak.Centre, peak.Height, peak.Fwhm});
    proposal.Lines = SuggestPairings(seen, lines);
    return proposal;
}
