#pragma once

#include <chrono>
#include <string>

// A pseudo-terminal pair: the port opens the slave side by its path, the
// test plays the device on the master side. The slave descriptor from
// openpty stays open in the test to inspect and hang up the line.
class TPtyPair {
public:
    TPtyPair();
    TPtyPair(const TPtyPair&) = delete;
    TPtyPair& operator=(const TPtyPair&) = delete;
    ~TPtyPair();

    const std::string& SlavePath() const { return slavePath_; }
    int MasterFd() const { return master_; }
    int SlaveFd() const { return slave_; }

    // The device sends bytes to the port.
    void Send(const std::string& bytes);
    // What the port has sent, waiting up to timeout for count bytes.
    std::string Receive(std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // Closing the master side makes the device vanish for the port.
    void CloseMaster();

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

// CPU time the whole process has used so far.
std::chrono::microseconds ProcessCpuTime();
