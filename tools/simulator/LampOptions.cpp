#include "simulator/LampOptions.h"

#include "spectrum/DecimalNumbers.h"
#include "spectrum/SpectrumErrors.h"
#include "spectrum/WavelengthCalibration.h"

#include <stdexcept>

bool ReadLampOption(const std::string& option, const std::string& value, TLampOptions& options)
{
    if (option == "--lamp") {
        try {
            options.Lamp = LampFromKey(value);
        } catch (const ESpectrum&) {
            throw std::invalid_argument("--lamp takes hg, ne or ar, not '" + value + "'");
        }
        return true;
    }
    if (option != "--calibration")
        return false;
    std::vector<double> coefficients;
    for (size_t start = 0; start <= value.size();) {
        const size_t comma = std::min(value.find(',', start), value.size());
        const auto number = ParseDecimal(std::string_view(value).substr(start, comma - start));
        if (!number)
            throw std::invalid_argument("--calibration takes two to four numbers a0,a1,a2,a3, not '" + value + "'");
        coefficients.push_back(*number);
        start = comma + 1;
    }
    if (coefficients.size() < 2 || coefficients.size() > 4)
        throw std::invalid_argument("--calibration takes two to four numbers a0,a1,a2,a3, not '" + value + "'");
    options.Calibration = coefficients;
    return true;
}

std::vector<TEmissionLine> LampEmissionLines(const TLampOptions& options, int fieldCount)
{
    if (!options.Lamp)
        return {TSensorModel::EmissionLines.begin(), TSensorModel::EmissionLines.end()};
    const TWavelengthCalibration calibration(options.Calibration);
    const double first = TSensorModel::FirstReadingField;
    if (fieldCount > TSensorModel::FirstReadingField && !calibration.IsMonotonic(first, fieldCount))
        throw std::invalid_argument("--calibration must rise or fall steadily over the fields 6 to "
                                    + std::to_string(fieldCount));
    std::vector<TEmissionLine> lines;
    for (const TReferenceLine& line : ReferenceLines(*options.Lamp)) {
        const double pixel = calibration.Pixel(line.Wavelength, first, fieldCount);
        if (pixel >= first && pixel <= fieldCount)
            lines.push_back({pixel, TLampOptions::LineWidth, line.Intensity});
    }
    return lines;
}

std::string LampUsage()
{
    return "  --lamp hg|ne|ar         a calibration lamp: fluorescent (mercury, europium,\n"
           "                          terbium), neon or argon lines instead of the made-up ones\n"
           "  --calibration A0,A1,A2,A3\n"
           "                          where the lamp's lines fall: nm = A0 + A1 p + A2 p^2 + A3 p^3\n"
           "                          for field p (default 344.5,0.915,-1e-4,1e-7: 350-800 nm)\n";
}
