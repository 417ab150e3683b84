#pragma once

#include "spectrum/WavelengthCalibration.h"

#include <optional>
#include <string>

// The wavelength calibration of each instrument, by port name, in the
// user's own store: the value named after the port under the program's key
// HKEY_CURRENT_USER\Software\Mirelda\Calibration, in the one-line text form.
namespace CalibrationStore {

inline constexpr const char* KeyPath = "Software\\Mirelda\\Calibration";

// None when nothing is kept for the port; raises ESpectrum when what is kept
// does not read (saying so), and EStoreError when the store cannot be read.
std::optional<TWavelengthCalibration> Load(const std::string& port);
// Keeps the calibration for the port, or forgets it; raises EStoreError
// when the store cannot be written.
void Save(const std::string& port, const std::optional<TWavelengthCalibration>& calibration);

} // namespace CalibrationStore
