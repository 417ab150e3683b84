#include "spectrum/LinePairing.h"
#include "spectrum/WavelengthCalibration.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The lamp's lines seen through a calibration, as the peak finder would
// report them, with a few false peaks among them.
TEST(LinePairing, PairsEveryResolvedLineOfEachLamp)
{
    const TWavelengthCalibration truth({344.0, 0.98, -3.0e-4, 2.0e-7});
    for (const TLamp lamp : Lamps()) {
        const std::vector<TReferenceLine>& lines = ReferenceLines(lamp);
        std::vector<TPeakSeen> peaks;
        std::vector<int> expected;
        for (size_t l = 0; l < lines.size(); ++l) {
            const double pixel = truth.Pixel(lines[l].Wavelength, 6, 512);
            if (pixel < 6 || pixel > 512)
                continue;
            // Lines nearer than a peak is wide merge into one peak.
            const bool blended = (l > 0 && lines[l].Wavelength - lines[l - 1].Wavelength < 2.5)
                                 || (l + 1 < lines.size() && lines[l + 1].Wavelength - lines[l].Wavelength < 2.5);
            peaks.push_back({pixel + 0.05 * std::sin(double(l)), 150 * lines[l].Intensity, 2.4});
            expected.push_back(blended ? -1 : static_cast<int>(l));
        }
        peaks.push_back({3.0, 5.0, 2.4});
        expected.push_back(-1);
        const std::vector<int> suggested = SuggestPairings(peaks, lines);
        ASSERT_EQ(suggested.size(), peaks.size());
        int paired = 0;
        for (size_t p = 0; p < peaks.size(); ++p) {
            if (expected[p] >= 0) {
                EXPECT_EQ(suggested[p], expected[p]) << LampKey(lamp) << " peak at " << peaks[p].Pixel;
                ++paired;
            } else if (suggested[p] >= 0) {
                // A blend may take one of its lines, never a far one.
                const double wavelength = lines[static_cast<size_t>(suggested[p])].Wavelength;
                EXPECT_LT(std::abs(wavelength - truth.Wavelength(peaks[p].Pixel)), 3.0) << LampKey(lamp);
            }
        }
        EXPECT_GE(paired, 5) << LampKey(lamp);
    }
    EXPECT_EQ(SuggestPairings({{100, 5, 2}}, ReferenceLines(TLamp::Neon)), std::vector<int>{-1});
}

} // namespace
