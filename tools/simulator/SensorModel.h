#pragma once

#include <array>
#include <cstdint>
#include <random>
#include <span>
#include <vector>

// One emission line of the simulated light source: a Gaussian peak at a
// sensor pixel; Strength is its height relative to the strongest line.
struct TEmissionLine {
    double Pixel;
    double Width;
    double Strength;
};

// Readings a line sensor would give: a dark baseline with the sensor's
// response hump, emission lines whose height grows in proportion to the
// exposure, and read-out noise, clamped to the sensor range. The same seed
// gives the same sequence of spectra.
class TSensorModel {
public:
    static constexpr int FirstReadingField = 6;
    static constexpr int MaxReading = 255;
    // At this exposure the strongest line stands PeakCountsAtReference above
    // the baseline; twice the exposure saturates it.
    static constexpr int32_t ReferenceExposure = 100;
    static constexpr double PeakCountsAtReference = 150.0;
    static const std::array<TEmissionLine, 6> EmissionLines;

    // Readings for fields 6 to fieldCount (none when fieldCount < 6), with
    // the given lines or the model's own.
    TSensorModel(int fieldCount, uint32_t seed, std::span<const TEmissionLine> lines = EmissionLines);

    // readings[i] is the reading of field 6 + i. A negative exposure counts
    // as none.
    void Generate(int32_t exposure, std::vector<int>& readings);

private:
    std::vector<double> baseline;
    std::vector<double> lineProfile; // summed line shapes at unit strength
    std::mt19937 random;
    std::normal_distribution<double> noise;
};
