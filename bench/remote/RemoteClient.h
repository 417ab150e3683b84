#pragma once

#include <string>

// A blocking TCP client on the loopback address with plain POSIX calls, as
// a script would be: it runs on a thread of its own, beside the program's
// event loop.
class TBenchClient {
public:
    explicit TBenchClient(int port);
    ~TBenchClient();
    TBenchClient(const TBenchClient&) = delete;
    TBenchClient& operator=(const TBenchClient&) = delete;

    bool Connected() const { return fd_ >= 0; }
    // Sends every byte; false once the connection is gone.
    bool Send(const std::string& bytes);
    // Sends without waiting: the bytes the system took.
    long SendSome(const std::string& bytes);
    // The next line without its LF; empty when the connection ends or no
    // line comes within timeoutMs.
    std::string ReadLine(int timeoutMs = 10000);

private:
    int fd_ = -1;
    std::string pending_;
};
