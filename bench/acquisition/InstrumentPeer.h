#pragma once

#include "simulator/LinePacer.h"
#include "simulator/PortMapEntry.h"
#include "simulator/PseudoTerminal.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

// The spectrometer's end of the line for the benchmark: the simulator's
// pseudo-terminal, spectrum and frame format, answering each exposure
// command with one frame, on a thread of its own. It notes when each frame's
// closing 'e' was written and when the next command arrived, and the CPU
// time it used itself, so the program's share can be told apart.
class TInstrumentPeer {
public:
    // baud 0: unthrottled. Serves `frames` frames, then calls `finished`
    // (from its own thread) and stops answering.
    TInstrumentPeer(int baud, int frames, std::function<void()> finished);
    ~TInstrumentPeer();
    TInstrumentPeer(const TInstrumentPeer&) = delete;
    TInstrumentPeer& operator=(const TInstrumentPeer&) = delete;

    // Once finished: per frame k (from 0), when the command asking for it
    // arrived and when its 'e' was written.
    const std::vector<TClock::time_point>& CommandArrivals() const { return arrivals; }
    const std::vector<TClock::time_point>& FrameEnds() const { return frameEnds; }
    size_t FrameBytes() const { return frameBytes; }
    std::chrono::nanoseconds CpuTime() const { return std::chrono::nanoseconds(cpuNanoseconds.load()); }

private:
    void Serve(int frames, const std::function<void()>& finished);
    bool WaitForCommand();
    void WriteFrame(const std::string& frame);

    TPseudoTerminal terminal;
    TPortMapEntry mapEntry;
    TLinePacer pacer;
    std::vector<TClock::time_point> arrivals;
    std::vector<TClock::time_point> frameEnds;
    size_t frameBytes = 0;
    std::atomic<int64_t> cpuNanoseconds{0};
    std::atomic<bool> stopping{false};
    std::thread thread;
};
