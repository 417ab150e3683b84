#pragma once

#include "app/FrameDecoder.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// Averaging of the last frames and subtraction of a dark frame, both on the
// plotted readings (the layout's pixels, 6 to 512 by default) before offset
// and gain are applied.
//
// The average of n readings is their exact sum divided by n, rounded to the
// nearest integer with halves away from zero (as std::lround does): 1 and 2
// average to 2, -1 and -2 to -2. One frame averages to itself. The dark
// frame is subtracted from the average in the readings' own 32-bit
// arithmetic, wrapping like the plotted value does. With a depth of 1 and
// no dark frame every reading passes through unchanged.
class TFrameAveraging {
public:
    // The default layout's pixels.
    static constexpr int FirstPixel = TFrameDecoder::FirstPlottedField;
    static constexpr int LastPixel = TFrameDecoder::LastPlottedField;
    static constexpr std::size_t Pixels = TFrameDecoder::PlottedPoints;
    // One reading per pixel of the layout, the first pixel first.
    using TFrame = std::vector<std::int32_t>;

    TFrameAveraging();

    // The pixels of a valid layout; forgets the frames and the dark frame,
    // which belong to the old one.
    void SetLayout(const TFrameLayout& layout);
    int FirstX() const { return first_; }
    int LastX() const { return first_ + int(pixels_) - 1; }

    // The depths offered to the operator; 1 is no averaging.
    static constexpr std::array<int, 7> Depths{1, 2, 4, 8, 16, 32, 64};

    int Depth() const { return depth_; }
    // Keeps the newest frames that the new depth holds, so the average goes
    // on from what was already there. depth must be 1 or more.
    void SetDepth(int depth);

    // Takes the decoder's current readings as the newest frame.
    void Add(const TFrameDecoder& decoder);
    // readings holds one reading per pixel; a frame of another size is
    // ignored.
    void Add(const TFrame& readings);
    // Forgets the frames (not the dark frame), as at a new start.
    void Clear();

    bool HasFrame() const { return !frames_.empty(); }
    // The frames the current average is made of: up to the depth.
    int FramesAveraged() const { return static_cast<int>(frames_.size()); }

    // The average of the frames at pixel x, before the dark frame.
    std::int32_t Average(int x) const;
    // The same average unrounded, for the measurement modes: rounding to
    // whole readings would undo the noise the averaging takes away.
    double Mean(int x) const;
    // The dark frame's reading at pixel x; 0 without one.
    std::int32_t Dark(int x) const { return dark_ ? (*dark_)[Index(x)] : 0; }
    // The reading plotted at pixel x: the average less the dark frame.
    std::int32_t Reading(int x) const;

    // The current average becomes the dark frame; nothing without a frame.
    void TakeDark();
    void ClearDark() { dark_.reset(); }
    bool HasDark() const { return dark_.has_value(); }

private:
    std::size_t Index(int x) const { return static_cast<std::size_t>(x - first_); }
    // Puts the frames in order, oldest first.
    void Unwind();

    int first_ = FirstPixel;
    std::size_t pixels_ = Pixels;
    int depth_ = 1;
    // A ring of the newest frames; `oldest_` is where the oldest is.
    std::vector<TFrame> frames_;
    std::size_t oldest_ = 0;
    std::vector<std::int64_t> sums_;
    std::optional<TFrame> dark_;
    // The decoder's readings on their way in, kept to save an allocation a
    // frame.
    TFrame scratch_;
};
