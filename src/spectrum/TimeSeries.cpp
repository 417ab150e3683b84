#include "spectrum/TimeSeries.h"

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <sstream>

namespace {

TTimeSeries::TEntry Mean(const TTimeSeries::TEntry& a, const TTimeSeries::TEntry& b)
{
    TTimeSeries::TEntry merged{a.Time, {}, std::uint8_t(a.Present | b.Present)};
    for (std::size_t band = 0; band < TTimeSeries::MaxBands; ++band) {
        const bool inA = a.Present & (1u << band);
        const bool inB = b.Present & (1u << band);
        merged.Value[band] = inA && inB ? (a.Value[band] + b.Value[band]) / 2 : inA ? a.Value[band] : b.Value[band];
    }
    return merged;
}

} // namespace

std::optional<double> BandValue(const std::vector<TSpectrumPoint>& points, const TBand& band)
{
    double sum = 0.0;
    std::size_t count = 0;
    const TSpectrumPoint* nearest = nullptr;
    for (const TSpectrumPoint& point : points) {
        if (!point.Present)
            continue;
        const double distance = std::abs(point.X - band.Centre);
        if (distance <= band.Width / 2) {
            sum += point.Y;
            ++count;
        }
        if (!nearest || distance < std::abs(nearest->X - band.Centre))
            nearest = &point;
    }
    if (count > 0)
        return sum / double(count);
    // A band narrower than the point spacing takes the nearest point
    // within half a pixel.
    if (nearest && std::abs(nearest->X - band.Centre) <= std::max(band.Width / 2, 0.5))
        return nearest->Y;
    return std::nullopt;
}

TTimeSeries::TTimeSeries(std::size_t capacity) : capacity_(std::max<std::size_t>(capacity + capacity % 2, 2))
{
    entries_.reserve(capacity_);
}

void TTimeSeries::SetBands(std::vector<TBand> bands)
{
    if (bands.size() > MaxBands)
        bands.resize(MaxBands);
    bands_ = std::move(bands);
    Clear();
}

void TTimeSeries::Clear()
{
    entries_.clear();
    stride_ = 1;
    start_.reset();
    pendingFrames_ = 0;
    pendingSum_.fill(0.0);
    pendingCount_.fill(0);
}

void TTimeSeries::Add(double seconds, const std::vector<TSpectrumPoint>& points)
{
    if (bands_.empty())
        return;
    if (!start_)
        start_ = seconds;
    if (pendingFrames_ == 0)
        pendingTime_ = seconds - *start_;
    for (std::size_t band = 0; band < bands_.size(); ++band) {
        if (const std::optional<double> value = BandValue(points, bands_[band])) {
            pendingSum_[band] += *value;
            ++pendingCount_[band];
        }
    }
    if (++pendingFrames_ < stride_)
        return;
    TEntry entry{pendingTime_, {}, 0};
    for (std::size_t band = 0; band < bands_.size(); ++band) {
        if (pendingCount_[band] > 0) {
            entry.Value[band] = pendingSum_[band] / double(pendingCount_[band]);
            entry.Present |= std::uint8_t(1u << band);
        }
    }
    pendingFrames_ = 0;
    pendingSum_.fill(0.0);
    pendingCount_.fill(0);
    Append(entry);
}

void TTimeSeries::Append(const TEntry& entry)
{
    // Merged as soon as it fills, so the next entry already gathers the
    // new number of frames and every entry holds as many as the others.
    entries_.push_back(entry);
    if (entries_.size() == capacity_)
        MergePairs();
}

void TTimeSeries::MergePairs()
{
    std::size_t kept = 0;
    for (std::size_t i = 0; i + 1 < entries_.size(); i += 2)
        entries_[kept++] = Mean(entries_[i], entries_[i + 1]);
    entries_.resize(kept);
    stride_ *= 2;
}

std::vector<std::pair<double, double>> TTimeSeries::Decimated(std::size_t band, double from, double to,
                                                              std::size_t points) const
{
    std::vector<std::pair<double, double>> out;
    if (band >= bands_.size() || points == 0 || !(to > from))
        return out;
    const auto begin = std::lower_bound(entries_.begin(), entries_.end(), from,
                                        [](const TEntry& entry, double time) { return entry.Time < time; });
    const auto end = std::upper_bound(begin, entries_.end(), to,
                                      [](double time, const TEntry& entry) { return time < entry.Time; });
    const std::size_t first = std::size_t(begin - entries_.begin());
    const std::size_t last = std::size_t(end - entries_.begin());
    const std::size_t per = std::max<std::size_t>(1, (last - first + points - 1) / points);
    for (std::size_t bucket = first; bucket < last; bucket += per) {
        double time = 0.0;
        double sum = 0.0;
        std::size_t present = 0;
        for (std::size_t i = bucket; i < std::min(bucket + per, last); ++i) {
            if (entries_[i].Present & (1u << band)) {
                time += entries_[i].Time;
                sum += entries_[i].Value[band];
                ++present;
            }
        }
        if (present > 0)
            out.emplace_back(time / double(present), sum / double(present));
    }
    return out;
}

std::string TTimeSeries::Csv() const
{
    std::ostringstream csv;
    csv << std::setprecision(10);
    csv << "time (s)";
    for (const TBand& band : bands_)
        csv << ",band " << band.Centre << " width " << band.Width;
    csv << '\n';
    for (const TEntry& entry : entries_) {
        csv << entry.Time;
        for (std::size_t band = 0; band < bands_.size(); ++band) {
            csv << ',';
            if (entry.Present & (1u << band))
                csv << entry.Value[band];
        }
        csv << '\n';
    }
    return csv.str();
}
