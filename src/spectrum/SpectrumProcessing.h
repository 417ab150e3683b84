#pragma once

#include "app/FrameAveraging.h"
#include "app/FrameDecoder.h"

#include <optional>
#include <string>
#include <vector>

// What the curve shows. Scope is the readings as the window always drew
// them, offset and gain applied; the other modes work on light above the
// dark frame (S - D, reference R - D) and ignore offset and gain.
enum class TProcessingMode { Scope, ScopeMinusDark, Transmittance, Absorbance };

struct TModeInfo {
    const char* Name;      // as the menu offers it
    const char* AxisTitle; // the y axis title
    bool NeedsDark;
    bool NeedsReference;
};
const TModeInfo& ModeInfo(TProcessingMode mode);
inline constexpr TProcessingMode ProcessingModes[]{TProcessingMode::Scope, TProcessingMode::ScopeMinusDark,
                                                   TProcessingMode::Transmittance, TProcessingMode::Absorbance};

// One point of the processed curve; a point that has no value (a
// reference without light there, a ratio that is not positive) is a gap:
// Present is false and Y means nothing.
struct TSpectrumPoint {
    double X;
    double Y;
    bool Present;
};

struct TProcessedSpectrum {
    std::vector<TSpectrumPoint> Points;
    // The pixels whose newest reading is at full scale.
    std::vector<int> SaturatedPixels;
    // The newest frame's brightest light, in readings.
    double Peak = 0.0;
    // Why nothing is drawn: a missing dark frame or reference.
    std::string Missing;
    // "Saturated: N pixels", "Low signal", or empty.
    std::string SignalText;
};

// Turns the newest frame and its average into the processed curve.
class TSpectrumProcessor {
public:
    static constexpr int MaxSmoothing = 25;
    // Below this share of full scale a frame is "Low signal".
    static constexpr double LowSignalShare = 0.10;

    TProcessingMode Mode() const { return mode_; }
    void SetMode(TProcessingMode mode) { mode_ = mode; }
    // Boxcar width in pixels, 0 (off) to MaxSmoothing; clamped.
    int Smoothing() const { return smoothing_; }
    void SetSmoothing(int width);

    // The current average less the dark frame, as light, becomes the
    // reference. Raises ESpectrum without a frame or a dark frame.
    void TakeReference(const TFrameAveraging& averaging, const TFrameLayout& layout);
    void ClearReference() { reference_.reset(); }
    bool HasReference() const { return reference_.has_value(); }

    // The curve of the current mode at the averaging's pixels.
    void Process(const TFrameDecoder& decoder, const TFrameAveraging& averaging, TProcessedSpectrum& out) const;

    // The y range the mode's curve is drawn in.
    static std::pair<double, double> YRange(TProcessingMode mode, const TFrameLayout& layout);

private:
    void Smooth(std::vector<TSpectrumPoint>& points) const;

    TProcessingMode mode_ = TProcessingMode::Scope;
    int smoothing_ = 0;
    std::optional<std::vector<double>> reference_;
};
