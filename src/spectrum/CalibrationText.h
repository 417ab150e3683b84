#pragma once

#include "spectrum/WavelengthCalibration.h"

#include <string>
#include <string_view>

// The two text forms of a calibration. Numbers use '.' whatever the locale
// and read back to the same doubles.
//
// The file a user exports and imports, lines ending in LF:
//   # Mirelda wavelength calibration
//   order: 3
//   a0: 349.2
//   a1: 0.93
//   ...
//   rms: 0.012        (nm; only when known)
// Lines starting with '#' and blank lines are skipped when read; names are
// matched without regard to letter case.
std::string CalibrationFileText(const TWavelengthCalibration& calibration);
// The one-line form kept in the user's store: "order=3;a=a0,a1,a2,a3;rms=0.012".
std::string CalibrationStoredText(const TWavelengthCalibration& calibration);

// Each raises ESpectrum naming what is wrong: a missing or unknown entry, a
// number that does not read, coefficients that do not match the order.
TWavelengthCalibration ParseCalibrationFile(std::string_view text);
TWavelengthCalibration ParseCalibrationStored(std::string_view text);
