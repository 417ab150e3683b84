#include "app/FrameAveraging.h"

#include <algorithm>

TFrameAveraging::TFrameAveraging() : sums_(pixels_) {}

void TFrameAveraging::SetLayout(const TFrameLayout& layout)
{
    first_ = layout.FirstReading;
    pixels_ = static_cast<std::size_t>(layout.Pixels);
    Clear();
    dark_.reset();
}

void TFrameAveraging::SetDepth(int depth)
{
    depth_ = std::max(depth, 1);
    Unwind();
    const std::size_t excess = frames_.size() > std::size_t(depth_) ? frames_.size() - std::size_t(depth_) : 0;
    for (std::size_t f = 0; f < excess; ++f)
        for (std::size_t i = 0; i < pixels_; ++i)
            sums_[i] -= frames_[f][i];
    frames_.erase(frames_.begin(), frames_.begin() + std::ptrdiff_t(excess));
}

void TFrameAveraging::Unwind()
{
    std::rotate(frames_.begin(), frames_.begin() + std::ptrdiff_t(oldest_), frames_.end());
    oldest_ = 0;
}

void TFrameAveraging::Add(const TFrameDecoder& decoder)
{
    // The decoder's layout may hold fewer fields than the pixels reach
    // until both are given the same layout; those pixels read 0.
    TFrame& readings = scratch_;
    readings.resize(pixels_);
    for (std::size_t i = 0; i < pixels_; ++i) {
        const int field = first_ + int(i);
        readings[i] = field <= decoder.Layout().MaxFields ? decoder.FieldValue(field) : 0;
    }
    Add(readings);
}

void TFrameAveraging::Add(const TFrame& readings)
{
    if (readings.size() != pixels_)
        return;
    if (frames_.size() < std::size_t(depth_)) {
        frames_.push_back(readings);
    } else {
        TFrame& oldest = frames_[oldest_];
        for (std::size_t i = 0; i < pixels_; ++i)
            sums_[i] -= oldest[i];
        oldest = readings;
        oldest_ = (oldest_ + 1) % frames_.size();
    }
    for (std::size_t i = 0; i < pixels_; ++i)
        sums_[i] += readings[i];
}

void TFrameAveraging::Clear()
{
    frames_.clear();
    oldest_ = 0;
    sums_.assign(pixels_, 0);
}

std::int32_t TFrameAveraging::Average(int x) const
{
    const auto count = static_cast<std::int64_t>(frames_.size());
    if (count == 0)
        return 0;
    const std::int64_t sum = sums_[Index(x)];
    const std::int64_t half = sum >= 0 ? count / 2 : -(count / 2);
    return static_cast<std::int32_t>((sum + half) / count);
}

double TFrameAveraging::Mean(int x) const
{
    return frames_.empty() ? 0.0 : double(sums_[Index(x)]) / double(frames_.size());
}

std::int32_t TFrameAveraging::Reading(int x) const
{
    if (!dark_)
        return Average(x);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(Average(x))
                                     - static_cast<std::uint32_t>((*dark_)[Index(x)]));
}

void TFrameAveraging::TakeDark()
{
    if (!HasFrame())
        return;
    TFrame dark(pixels_);
    for (int x = FirstX(); x <= LastX(); ++x)
        dark[Index(x)] = Average(x);
    dark_ = dark;
}
