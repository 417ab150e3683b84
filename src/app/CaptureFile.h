#pragma once

#include <QByteArray>

#include <cstdint>
#include <string>
#include <vector>

// Frames captured without a window, as the device sent them: every frame,
// or only the running sums their mean needs.
class TFrameCapture {
public:
    TFrameCapture(const std::string& port, const std::string& exposure, bool average);

    // One frame's readings at the given pixels; the first frame fixes them.
    void Add(const std::vector<int>& pixels, const std::vector<std::int32_t>& readings);
    int Count() const { return count_; }

    // CSV in UTF-8, lines ending in LF: comment lines starting with "# "
    // (port, exposure, frames), the column line "frame" and the pixels,
    // then one line per frame: its number and its readings. Averaged, one
    // line "mean" instead: each pixel's exact mean over the frames.
    QByteArray Csv() const;
    // JCAMP-DX: the mean as one spectrum; every frame as a compound file of
    // one block a frame (DATA TYPE LINK). x in pixels, y the readings.
    QByteArray JcampDx() const;

private:
    std::vector<double> Mean() const;

    std::string port_; // 8-bit texts, as the window holds them
    std::string exposure_;
    bool average_;
    std::vector<int> pixels_;
    int count_ = 0;
    std::vector<std::vector<std::int32_t>> frames_;
    std::vector<std::int64_t> sums_;
};
