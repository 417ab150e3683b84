#pragma once

#include "app/FrameDecoder.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// Averaging of the last frames and subtraction of a dark frame, both on the
// plotted readings (pixels 6 to 512) before offset and gain are applied.
//
// The average of n readings is their exact sum divided by n, rounded to the
// nearest integer with halves away from zero (as std::lround does): 1 and 2
// average to 2, -1 and -2 to -2. One frame averages to itself. The dark
// frame is subtracted from the average in the readings' own 32-bit
// arithmetic, wrapping like the plotted value does. With a depth of 1 and
// no dark frame every reading passes through unchanged.
class TFrameAveraging {
public:
    static constexpr int FirstPixel = TFrameDecoder::FirstPlottedField;
    static constexpr int LastPixel = TFrameDecoder::LastPlottedField;
    static constexpr std::size_t Pixels = TFrameDecoder::PlottedPoints;
    using TFrame = std::array<std::int32_t, Pixels>;

    // The depths offered to the operator; 1 is no averaging.
    static constexpr std::array<int, 7> Depths{1, 2, 4, 8, 16, 32, 64};

    int Depth() const { return depth_; }
    // Keeps the newest frames that the new depth holds, so the average goes
    // on from what was already there. depth must be 1 or more.
    void SetDepth(int depth);

    // Takes the decoder's current readings as the newest frame.
    void Add(const TFrameDecoder& decoder);
    void Add(const TFrame& readings);
    // Forgets the frames (not the dark frame), as at a new start.
    void Clear();

    bool HasFrame() const { return !frames_.empty(); }
    // The frames the current average is made of: up to the depth.
    int FramesAveraged() const { return static_cast<int>(frames_.size()); }

    // The average of the frames at pixel x, before the dark frame.
    std::int32_t Average(int x) const;
    // The reading plotted at pixel x: the average less the dark frame.
    std::int32_t Reading(int x) const;

    // The current average becomes the dark frame; nothing without a frame.
    void TakeDark();
    void ClearDark() { dark_.reset(); }
    bool HasDark() const { return dark_.has_value(); }

private:
    static std::size_t Index(int x) { return static_cast<std::size_t>(x - FirstPixel); }
    // Puts the frames in order, oldest first.
    void Unwind();

    int depth_ = 1;
    // A ring of the newest frames; `oldest_` is where the oldest is.
    std::vector<TFrame> frames_;
    std::size_t oldest_ = 0;
    std::array<std::int64_t, Pixels> sums_{};
    std::optional<TFrame> dark_;
};
