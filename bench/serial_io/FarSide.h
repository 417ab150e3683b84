#pragma once

#include <atomic>
#include <cstddef>
#include <string>
#include <thread>

// A pseudo-terminal whose master side is served by a plain thread: it
// either swallows a given number of bytes or echoes everything back.
class TFarSide {
public:
    enum class TMode { Swallow, Echo };

    TFarSide();
    TFarSide(const TFarSide&) = delete;
    TFarSide& operator=(const TFarSide&) = delete;
    ~TFarSide();

    const std::string& SlavePath() const { return slavePath_; }

    // Swallow: returns once `bytes` bytes have been read.
    void Start(TMode mode, std::size_t bytes = 0);
    void WaitUntilSwallowed();

private:
    void Serve(TMode mode, std::size_t bytes);

    int master_ = -1;
    int stop_ = -1;
    std::string slavePath_;
    std::thread thread_;
    std::atomic<bool> swallowed_{false};
};
