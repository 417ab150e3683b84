#pragma once

#include "simulator/SensorModel.h"
#include "spectrum/ReferenceLines.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

// A calibration lamp in front of the simulated spectrometer: its lines at
// the pixels a known polynomial puts them, so that a calibration made from
// the frames can be checked against the truth.
struct TLampOptions {
    // a0..a3 of pixel -> nm: about 350 nm at pixel 6 to 800 nm at pixel 512,
    // slightly curved as a small grating spectrometer is.
    static constexpr std::array<double, 4> DefaultCalibration{344.5, 0.915, -1.0e-4, 1.0e-7};
    // The width (Gaussian sigma, pixels) of every line, about 2.4 nm at
    // half height with the default calibration.
    static constexpr double LineWidth = 1.1;

    std::optional<TLamp> Lamp; // none: the simulator's own made-up lines
    std::vector<double> Calibration{DefaultCalibration.begin(), DefaultCalibration.end()};
};

// Takes "--lamp hg|ne|ar" and "--calibration a0,a1[,a2[,a3]]"; false for any
// other option. Throws std::invalid_argument with a message for the operator
// on a value it cannot use.
bool ReadLampOption(const std::string& option, const std::string& value, TLampOptions& options);

// The lines of the chosen lamp that fall on fields 6 to fieldCount, or the
// simulator's own lines without a lamp. Throws std::invalid_argument when the
// calibration does not rise or fall steadily over those fields.
std::vector<TEmissionLine> LampEmissionLines(const TLampOptions& options, int fieldCount);

std::string LampUsage();
