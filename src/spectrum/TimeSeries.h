#pragma once

#include "spectrum/SpectrumProcessing.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A tracked band: the curve's points whose x lies within Width / 2 of
// Centre, in the curve's own x units (pixels, or nanometres once
// calibrated). Width 0 takes the one point nearest the centre.
struct TBand {
    double Centre = 0.0;
    double Width = 0.0;
};

// The band's mean over its present points; nothing when it holds none.
std::optional<double> BandValue(const std::vector<TSpectrumPoint>& points, const TBand& band);

// The tracked bands' values against time. Memory is bounded: when the
// history is full, neighbouring entries are merged in pairs (their mean)
// and from then on each entry holds twice as many frames, so an hour at
// full rate takes the same room as a minute, at a coarser step.
class TTimeSeries {
public:
    static constexpr std::size_t MaxBands = 4;
    static constexpr std::size_t DefaultCapacity = std::size_t(1) << 16;

    struct TEntry {
        double Time; // seconds since the first frame, of the entry's first frame
        std::array<double, MaxBands> Value;
        std::uint8_t Present; // bit b: band b has a value
    };

    // capacity: entries kept at most, rounded up to an even number.
    explicit TTimeSeries(std::size_t capacity = DefaultCapacity);

    // 1 to MaxBands bands (more are dropped); forgets the history.
    void SetBands(std::vector<TBand> bands);
    const std::vector<TBand>& Bands() const { return bands_; }
    void Clear();

    // One frame's curve at `seconds` (any clock; kept relative to the first).
    void Add(double seconds, const std::vector<TSpectrumPoint>& points);

    const std::vector<TEntry>& Entries() const { return entries_; }
    // Frames per entry: 1 until the history first fills.
    std::size_t Stride() const { return stride_; }
    std::size_t Capacity() const { return capacity_; }

    // Band b between `from` and `to` seconds in at most `points` (x, y)
    // pairs, each the mean of the entries it stands for; gaps left out.
    std::vector<std::pair<double, double>> Decimated(std::size_t band, double from, double to, std::size_t points) const;

    // "time (s)" and one column per band, a line per entry, a gap empty.
    std::string Csv() const;

private:
    void Append(const TEntry& entry);
    void MergePairs();

    std::size_t capacity_;
    std::vector<TBand> bands_;
    std::vector<TEntry> entries_;
    std::size_t stride_ = 1;
    std::optional<double> start_;
    // Frames gathered towards the next entry.
    std::size_t pendingFrames_ = 0;
    double pendingTime_ = 0.0;
    std::array<double, MaxBands> pendingSum_{};
    std::array<std::size_t, MaxBands> pendingCount_{};
};
