#pragma once

#include <string>
#include <string_view>
#include <vector>

// The calibration lamps whose lines the program knows. The line lists are
// the files under share/mirelda/lines/ (each names its source in its
// header); the library carries a copy of them, so it needs no files.
enum class TLamp { Fluorescent, Neon, Argon };

struct TReferenceLine {
    double Wavelength; // nm, in air
    double Intensity;  // relative to the list's strongest line, 0..1
    std::string Species;
};

const std::vector<TLamp>& Lamps();
// "Fluorescent lamp (Hg, Eu, Tb)", "Neon", "Argon".
std::string LampName(TLamp lamp);
// The short name used on command lines and in files: "hg", "ne", "ar".
std::string LampKey(TLamp lamp);
// The lamp of a short name; raises ESpectrum for an unknown one.
TLamp LampFromKey(std::string_view key);
// The file name of the lamp's list under share/mirelda/lines/.
std::string LampFileName(TLamp lamp);

// The lamp's lines in rising wavelength.
const std::vector<TReferenceLine>& ReferenceLines(TLamp lamp);

// A line list file: '#' comments and blank lines skipped, otherwise
// "wavelength intensity species..." per line. Raises ESpectrum naming the
// line that does not read. The lines come back in rising wavelength.
std::vector<TReferenceLine> ParseLineList(std::string_view text);
