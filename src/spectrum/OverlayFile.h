#pragma once

#include "spectrum/SpectrumProcessing.h"

#include <string>
#include <string_view>
#include <vector>

// A spectrum read back from a file to lie over the live curve.
struct TOverlay {
    std::vector<TSpectrumPoint> Points;
    // "pixel" or "nm": what the x column holds.
    std::string XUnit = "pixel";
};

// Reads the spectrum files the window writes (comment lines starting with
// '#', the column line, then pixel, raw reading and plotted value) and
// plain CSV of x and y, with or without a column line, separated by commas,
// semicolons or tabs. An empty y is a gap. Anything else raises ESpectrum
// naming the line, so a bad file changes nothing.
TOverlay ParseOverlayCsv(std::string_view text);

// A JCAMP-DX file (one that starts with "##") or else CSV as above. A
// JCAMP-DX axis in NANOMETERS is in nm, any other in pixels.
TOverlay ParseOverlay(std::string_view text);

// The processed curve as CSV: "# mode: <mode>", the column line
// "<x unit>,<y title>", a line per point, a gap an empty y; lines end in LF.
// Numbers keep every digit, so a file read back gives the same points.
std::string ProcessedSpectrumCsv(const std::vector<TSpectrumPoint>& points, TProcessingMode mode,
                                 const std::string& xUnit);
// The same as JCAMP-DX, gaps left out: x in NANOMETERS for "nm", else in
// ARBITRARY UNITS (pixels); the mode a "##$MODE" label.
std::string ProcessedSpectrumJcamp(const std::vector<TSpectrumPoint>& points, TProcessingMode mode,
                                   const std::string& xUnit);
