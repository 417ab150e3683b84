#pragma once

#include "simulator/LinePacer.h"
#include "simulator/PortMapEntry.h"
#include "simulator/PseudoTerminal.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

// The spectrometer's end of the line for the benchmarks: the simulator's
// pseudo-terminal, spectrum and frame format, answering each exposure
// command with one frame, on a thread of its own. It notes when each frame's
// closing 'e' was written and when the next command arrived, and the CPU
// time it used itself, so the program's share can be told apart.
class TInstrumentPeer {
public:
    // What the instrument sends as frame `number` (from 1), kept by the
    // caller until written; empty: the simulator's spectrum frame.
    using TReply = std::function<const std::string&(int number)>;

    enum class TPace {
        AnswerEachCommand,
        // After the first command the frames follow one another without
        // waiting, as from a device that never stops sending.
        StreamAfterFirstCommand,
    };

    // baud 0: unthrottled. Serves `frames` frames, then calls `finished`
    // (from its own thread) and stops answering.
    TInstrumentPeer(int baud, int frames, std::function<void()> finished, TReply reply = {},
                    TPace pace = TPace::AnswerEachCommand);
    ~TInstrumentPeer();
    TInstrumentPeer(const TInstrumentPeer&) = delete;
    TInstrumentPeer& operator=(const TInstrumentPeer&) = delete;

    // Once finished: per frame k (from 0), when the command asking for it
    // arrived and when its last byte was written.
    const std::vector<TClock::time_point>& CommandArrivals() const { return arrivals; }
    const std::vector<TClock::time_point>& FrameEnds() const { return frameEnds; }
    size_t FrameBytes() const { return frameBytes; }
    // Also while it runs.
    std::chrono::nanoseconds CpuTime() const { return std::chrono::nanoseconds(cpuNanoseconds.load()); }
    uint64_t BytesWritten() const { return bytesWritten.load(); }

private:
    void Serve(int frames, const std::function<void()>& finished);
    bool WaitForCommand();
    void WriteFrame(const std::string& frame);

    TPseudoTerminal terminal;
    TPortMapEntry mapEntry;
    TLinePacer pacer;
    std::vector<TClock::time_point> arrivals;
    std::vector<TClock::time_point> frameEnds;
    TReply reply;
    TPace pace;
    size_t frameBytes = 0;
    std::atomic<int64_t> cpuNanoseconds{0};
    std::atomic<uint64_t> bytesWritten{0};
    std::atomic<bool> stopping{false};
    std::thread thread;
};
