#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

using TClock = std::chrono::steady_clock;

// One write of a frame: the bytes up to End, written no earlier than Due.
struct TDelivery {
    size_t End;
    TClock::time_point Due;
};

// Splits frames into writes and times them like a serial line would deliver
// them: at a given baud rate (10 bits a byte) a write is due when its last
// byte would have arrived, and a frame cannot start before the previous one
// has left the line. Unpaced, every write is due at once.
class TLinePacer {
public:
    // baud 0: unpaced. chunkMin/chunkMax 0: one write per frame unpaced, one
    // per millisecond of line time paced; otherwise random sizes in that range.
    TLinePacer(int baud, int chunkMin, int chunkMax, uint32_t seed);

    std::vector<TDelivery> Plan(size_t frameSize, TClock::time_point now);

private:
    size_t NextChunk(size_t remaining);
    TClock::duration LineTime(size_t bytes) const;

    int baud;
    int chunkMin;
    int chunkMax;
    std::mt19937 random;
    TClock::time_point lineFreeAt{};
};
