// The readers of spectrum and calibration files on any text: no crash, a
// clear refusal or a result that the writers put out and the readers take
// back unchanged.
//
// Input: the file's text, read as JCAMP-DX, as CSV and as both calibration
// text forms.
#include "FuzzCheck.h"

#include "spectrum/CalibrationText.h"
#include "spectrum/JcampDx.h"
#include "spectrum/SpectrumCsv.h"
#include "spectrum/SpectrumErrors.h"

#include <cstdint>
#include <string_view>

namespace {

void CalibrationRoundTrip(const TWavelengthCalibration& calibration)
{
    const TWavelengthCalibration file = ParseCalibrationFile(CalibrationFileText(calibration));
    const TWavelengthCalibration stored = ParseCalibrationStored(CalibrationStoredText(calibration));
    Require(file.Coefficients() == calibration.Coefficients() && stored.Coefficients() == calibration.Coefficients(),
            "a calibration's texts read back to the same coefficients");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const TJcampSpectrum spectrum = ParseJcampDx(text);
        const std::string written = JcampDxText(spectrum);
        std::size_t start = 0;
        while (start < written.size()) {
            const std::size_t end = written.find('\n', start);
            Require(end != std::string::npos && end - start <= 80, "JCAMP-DX lines end in LF within 80 characters");
            start = end + 1;
        }
        const TJcampSpectrum again = ParseJcampDx(written);
        Require(again.X == spectrum.X && again.Y == spectrum.Y, "JCAMP-DX points read back unchanged");
    } catch (const ESpectrum&) {
    }
    try {
        const TSpectrumTable table = ParseSpectrumCsv(text);
        for (const auto& row : table.Rows)
            Require(row.size() == table.Columns.size(), "every CSV row has a value per column");
    } catch (const ESpectrum&) {
    }
    try {
        CalibrationRoundTrip(ParseCalibrationFile(text));
    } catch (const ESpectrum&) {
    }
    try {
        CalibrationRoundTrip(ParseCalibrationStored(text));
    } catch (const ESpectrum&) {
    }
    return 0;
}
