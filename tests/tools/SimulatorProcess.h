#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

// The simulator program run as a child process with its standard output on
// a pipe. Every wait is bounded, so a broken simulator fails a test instead
// of hanging it.
class TSimulatorProcess {
public:
    static constexpr std::chrono::seconds Patience{10};

    explicit TSimulatorProcess(const std::vector<std::string>& arguments);
    ~TSimulatorProcess(); // kills the child if it still runs
    TSimulatorProcess(const TSimulatorProcess&) = delete;
    TSimulatorProcess& operator=(const TSimulatorProcess&) = delete;

    // The first line of output ("NAME DEVICE"), empty if none came in time.
    std::string StartLine();
    void Signal(int signal);
    // The exit status once the child has ended; -1 if it did not end in
    // time or was killed by a signal.
    int WaitForExit();
    // Everything printed after the start line, once the child has ended.
    const std::string& RemainingOutput() const { return output; }

private:
    bool ReadOutput(std::chrono::steady_clock::time_point deadline);

    pid_t pid = -1;
    int outputFd = -1;
    std::string output;
};

// The program's end of the simulated serial line, opened with plain POSIX
// calls in raw mode.
class TPortEnd {
public:
    explicit TPortEnd(const std::string& path);
    ~TPortEnd();
    TPortEnd(const TPortEnd&) = delete;
    TPortEnd& operator=(const TPortEnd&) = delete;

    bool IsOpen() const { return fd >= 0; }
    void Send(const std::string& bytes);
    // Bytes up to and including the first 'e'; what came so far if none
    // arrived in time.
    std::string ReadFrame();
    // Whatever arrives within the window (for checking that nothing does).
    std::string ReadFor(std::chrono::milliseconds window);

private:
    int fd = -1;
    std::string pending;
};
