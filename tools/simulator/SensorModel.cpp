#include "simulator/SensorModel.h"

#include <algorithm>
#include <cmath>

const std::array<TEmissionLine, 6> TSensorModel::EmissionLines = {{
    {95.0, 4.0, 1.0},
    {171.0, 2.5, 0.45},
    {243.0, 3.5, 0.8},
    {318.0, 2.0, 0.3},
    {402.0, 5.5, 0.6},
    {468.0, 3.0, 0.25},
}};

namespace {
constexpr double DarkLevel = 14.0;
constexpr double ResponseHump = 10.0;
constexpr double ResponseCentre = 300.0;
constexpr double ResponseSpread = 220.0;
constexpr double NoiseDeviation = 1.5;

double Gaussian(double offset, double width)
{
    return std::exp(-0.5 * (offset / width) * (offset / width));
}
} // namespace

TSensorModel::TSensorModel(int fieldCount, uint32_t seed, std::span<const TEmissionLine> lines)
    : random(seed)
    , noise(0.0, NoiseDeviation)
{
    for (int pixel = FirstReadingField; pixel <= fieldCount; ++pixel) {
        baseline.push_back(DarkLevel + ResponseHump * Gaussian(pixel - ResponseCentre, ResponseSpread));
        double profile = 0.0;
        for (const TEmissionLine& line : lines)
            profile += line.Strength * Gaussian(pixel - line.Pixel, line.Width);
        lineProfile.push_back(profile);
    }
}

void TSensorModel::Generate(int32_t exposure, std::vector<int>& readings)
{
    const double peakCounts = PeakCountsAtReference * std::max(exposure, 0) / ReferenceExposure;
    readings.resize(baseline.size());
    for (size_t i = 0; i < baseline.size(); ++i) {
        const double level = baseline[i] + lineProfile[i] * peakCounts + noise(random);
        readings[i] = static_cast<int>(std::clamp(std::lround(level), 0L, static_cast<long>(MaxReading)));
    }
}
