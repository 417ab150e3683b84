#pragma once

#include "simulator/SampleOptions.h"
#include "simulator/Transmission.h"

#include <array>
#include <cstdint>
#include <optional>
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
// response hump, emission lines (or, with a sample, a lamp continuum
// through it) whose height grows in proportion to the exposure, and
// read-out noise, clamped to the sensor range. Levels and noise scale with
// the full scale, as the same sensor read with a finer converter. The same
// seed gives the same sequence of spectra.
class TSensorModel {
public:
    static constexpr int FirstReadingField = 6;
    static constexpr int MaxReading = 255;
    // At this exposure the strongest line stands PeakCountsAtReference above
    // the baseline (on the 255 scale); twice the exposure saturates it.
    static constexpr int32_t ReferenceExposure = 100;
    static constexpr double PeakCountsAtReference = 150.0;
    // Read-out noise, one standard deviation on the 255 scale.
    static constexpr double NoiseDeviation = 1.5;
    // Frames for one swing of the drifting line.
    static constexpr int DriftPeriod = 2000;
    static const std::array<TEmissionLine, 6> EmissionLines;

    // Readings for fields 6 to fieldCount (none when fieldCount < 6). Lines
    // given (none: a dark frame) stand where they say; without them the
    // model's own lines are spread over the sensor in proportion to its
    // pixel count. Raises std::invalid_argument for a transmission it
    // cannot use.
    TSensorModel(int fieldCount, uint32_t seed, const TSampleOptions& sample = {},
                 std::optional<std::span<const TEmissionLine>> lines = std::nullopt);

    // readings[i] is the reading of field 6 + i. A negative exposure counts
    // as none.
    void Generate(int32_t exposure, std::vector<int>& readings);

    // Whether the next frame with light passes through the sample.
    bool SampleInBeam() const;

private:
    TSampleOptions sample_;
    double scale_; // full scale over 255
    std::optional<TTransmission> transmission_;
    std::vector<double> baseline;
    std::vector<double> lineProfile; // summed line shapes at unit strength
    std::vector<double> driftProfile; // the drifting line's shape
    std::vector<size_t> saturated_;   // indexes of the pixels held at full scale
    uint64_t litFrames_ = 0;
    uint64_t frames_ = 0;
    std::mt19937 random;
    std::normal_distribution<double> noise;
};
