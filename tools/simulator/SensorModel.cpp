#include "simulator/SensorModel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

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
// The pixels the lines were placed for.
constexpr double LinePixels = 507.0;
// The line that drifts, and how far its strength swings either way.
constexpr size_t DriftingLine = 2;
constexpr double DriftSwing = 0.5;

double Gaussian(double offset, double width)
{
    return std::exp(-0.5 * (offset / width) * (offset / width));
}

// A smooth lamp continuum over the sensor, 0.6 at the ends to 1 mid-way.
double Continuum(double share)
{
    return 0.6 + 0.4 * Gaussian(share - 0.5, 0.3);
}
} // namespace

TSensorModel::TSensorModel(int fieldCount, uint32_t seed, const TSampleOptions& sample,
                           std::optional<std::span<const TEmissionLine>> lines)
    : sample_(sample)
    , scale_(sample.FullScale / double(MaxReading))
    , random(seed)
    , noise(0.0, NoiseDeviation * scale_)
{
    const int pixels = std::max(fieldCount - FirstReadingField + 1, 0);
    if (!sample.Transmission.empty())
        transmission_ = TTransmission::Parse(sample.Transmission, FirstReadingField, fieldCount);
    // Lines and hump sit at the same places of a longer sensor, in
    // proportion, once the pixel count is chosen.
    const double stretch = sample.Pixels > 0 ? pixels / LinePixels : 1.0;
    const std::span<const TEmissionLine> placed = lines.value_or(std::span(EmissionLines));
    const double lineStretch = lines ? 1.0 : stretch;
    for (int pixel = FirstReadingField; pixel <= fieldCount; ++pixel) {
        baseline.push_back(DarkLevel + ResponseHump * Gaussian(pixel - ResponseCentre * stretch, ResponseSpread * stretch));
        double profile = 0.0;
        for (const TEmissionLine& line : placed)
            profile += line.Strength * Gaussian(pixel - line.Pixel * lineStretch, line.Width * lineStretch);
        if (transmission_)
            profile = Continuum((pixel - FirstReadingField) / std::max(pixels - 1.0, 1.0));
        lineProfile.push_back(profile);
        const TEmissionLine& drifting = EmissionLines[DriftingLine];
        driftProfile.push_back(drifting.Strength * Gaussian(pixel - drifting.Pixel * stretch, drifting.Width * stretch));
    }
    // The saturated pixels: those nearest the strongest line.
    std::vector<size_t> order(baseline.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    const double centre = EmissionLines[0].Pixel * stretch - FirstReadingField;
    std::stable_sort(order.begin(), order.end(),
                     [centre](size_t a, size_t b) { return std::abs(a - centre) < std::abs(b - centre); });
    order.resize(std::min(order.size(), size_t(sample.Saturate)));
    saturated_ = order;
}

bool TSensorModel::SampleInBeam() const
{
    return transmission_ && litFrames_ >= sample_.SampleAfter;
}

void TSensorModel::Generate(int32_t exposure, std::vector<int>& readings)
{
    const double peakCounts = PeakCountsAtReference * scale_ * std::max(exposure, 0) / ReferenceExposure;
    const bool throughSample = SampleInBeam();
    const double drift = sample_.Drift ? DriftSwing * std::sin(2 * std::numbers::pi * double(frames_) / DriftPeriod) : 0.0;
    readings.resize(baseline.size());
    for (size_t i = 0; i < baseline.size(); ++i) {
        double light = (lineProfile[i] + drift * driftProfile[i]) * peakCounts;
        if (throughSample)
            light *= transmission_->At(double(i) + FirstReadingField);
        const double level = baseline[i] * scale_ + light + noise(random);
        const long reading = std::clamp(std::lround(level), 0L, long(sample_.FullScale));
        readings[i] = int(sample_.FallingOutput ? sample_.FullScale - reading : reading);
    }
    if (exposure > 0) {
        for (const size_t i : saturated_)
            readings[i] = sample_.FallingOutput ? 0 : sample_.FullScale;
        ++litFrames_;
    }
    ++frames_;
}
