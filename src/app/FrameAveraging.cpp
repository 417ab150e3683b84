#include "app/FrameAveraging.h"

#include <algorithm>

void TFrameAveraging::SetDepth(int depth)
{
    depth_ = std::max(depth, 1);
    Unwind();
    const std::size_t excess = frames_.size() > std::size_t(depth_) ? frames_.size() - std::size_t(depth_) : 0;
    for (std::size_t f = 0; f < excess; ++f)
        for (std::size_t i = 0; i < Pixels; ++i)
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
    TFrame readings;
    for (int x = FirstPixel; x <= LastPixel; ++x)
        readings[Index(x)] = decoder.FieldValue(x);
    Add(readings);
}

void TFrameAveraging::Add(const TFrame& readings)
{
    if (frames_.size() < std::size_t(depth_)) {
        frames_.push_back(readings);
    } else {
        TFrame& oldest = frames_[oldest_];
        for (std::size_t i = 0; i < Pixels; ++i)
            sums_[i] -= oldest[i];
        oldest = readings;
        oldest_ = (oldest_ + 1) % frames_.size();
    }
    for (std::size_t i = 0; i < Pixels; ++i)
        sums_[i] += readings[i];
}

void TFrameAveraging::Clear()
{
    frames_.clear();
    oldest_ = 0;
    sums_.fill(0);
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
    TFrame dark;
    for (int x = FirstPixel; x <= LastPixel; ++x)
        dark[Index(x)] = Average(x);
    dark_ = dark;
}
