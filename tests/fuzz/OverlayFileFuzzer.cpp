// Overlay files: any text is read as a spectrum or refused with ESpectrum;
// what is read holds only finite numbers and survives being written as our
// CSV and read back, point for point.
#include "FuzzCheck.h"

#include "spectrum/OverlayFile.h"
#include "spectrum/SpectrumErrors.h"

#include <cmath>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    TOverlay overlay;
    try {
        overlay = ParseOverlay(text);
    } catch (const ESpectrum&) {
        return 0;
    }
    Require(!overlay.Points.empty(), "a spectrum read has points");
    for (const TSpectrumPoint& point : overlay.Points)
        Require(std::isfinite(point.X) && (!point.Present || std::isfinite(point.Y)), "only finite numbers are read");
    const TOverlay back = ParseOverlayCsv(ProcessedSpectrumCsv(overlay.Points, TProcessingMode::Scope, overlay.XUnit));
    Require(back.Points.size() == overlay.Points.size(), "the CSV written holds every point");
    for (size_t i = 0; i < back.Points.size(); ++i) {
        const TSpectrumPoint& a = overlay.Points[i];
        const TSpectrumPoint& b = back.Points[i];
        Require(a.X == b.X && a.Present == b.Present && (!a.Present || a.Y == b.Y), "points read back as written");
    }
    return 0;
}
