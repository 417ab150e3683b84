#pragma once

#include "simulator/CommandSplitter.h"
#include "simulator/LinePacer.h"
#include "simulator/PortMapEntry.h"
#include "simulator/PseudoTerminal.h"
#include "simulator/SimulatorOptions.h"
#include "simulator/SensorModel.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <random>
#include <string>
#include <vector>

// The simulated spectrometer: a pseudo-terminal registered in the port map,
// answering each exposure command with one frame. Commands that arrive while
// a frame is on its way are served in order afterwards.
class TSimulator {
public:
    // After this long without input, bare text counts as a command.
    static constexpr std::chrono::milliseconds IdleGap{50};

    explicit TSimulator(const TSimulatorOptions& options); // throws on a failed set-up

    const std::string& PortName() const { return options.Name; }
    const std::string& PortPath() const { return terminal.PortPath(); }

    // Serves frames until stopFd becomes readable or the frame limit is
    // reached; then waits briefly for the program to read the last frame.
    // Returns the number of frames served.
    uint64_t Run(int stopFd);

private:
    bool FrameInProgress() const { return nextDelivery < deliveries.size(); }
    bool FrameLimitReached() const { return options.Frames > 0 && framesServed >= options.Frames; }
    void ReadCommands(TClock::time_point now);
    void TakeIdleCommand(TClock::time_point now);
    void StartNextFrame(TClock::time_point now);
    // Writes what is due; false when the port's queue is full.
    bool WriteDue(TClock::time_point now);
    std::optional<TClock::time_point> NextDeadline(bool portFull) const;
    void WaitUntilReadOrStopped(int stopFd);

    TSimulatorOptions options;
    TPseudoTerminal terminal;
    TPortMapEntry mapEntry;
    // The chosen lamp's lines; none without a lamp.
    std::vector<TEmissionLine> lampLines;
    TSensorModel generator;
    TLinePacer pacer;
    TCommandSplitter splitter;
    std::mt19937 faultRandom;
    std::deque<std::string> commands;
    TClock::time_point lastInput;

    std::vector<int> readings;
    std::string frame;
    std::vector<TDelivery> deliveries;
    size_t nextDelivery = 0;
    size_t written = 0;
    uint64_t framesServed = 0;
};
