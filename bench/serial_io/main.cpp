// serial_io: bulk throughput and request/answer round trips over
// pseudo-terminals, for TComPort and its peers, in one run.
//
// Prints "name value unit" lines; ratios compare TComPort with each peer
// measured in the same run (throughput: higher is better; round trip: lower).

#include "Contenders.h"
#include "FarSide.h"
#include "Measure.h"
#include "support/Timing.h"

#include <QCoreApplication>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

// The machine is shared: each contender's runs are interleaved with the
// others' so that load from elsewhere falls on all of them alike.
constexpr int ThroughputRuns = 25;
constexpr int RoundTripBlocks = 20;

struct TContenderEntry {
    TContenderEntry(std::string name, std::function<std::unique_ptr<TContender>()> make)
        : Name(std::move(name)), Make(std::move(make))
    {
    }

    std::string Name;
    std::function<std::unique_ptr<TContender>()> Make;
    bool Opened = true;
    std::vector<double> Throughputs;
    std::vector<TNanoseconds> RoundTrips;
};

// 1 MiB written in 4 KiB writes, timed until the far side has read the
// last byte.
bool RunThroughput(TContenderEntry& entry)
{
    TFarSide far;
    auto contender = entry.Make();
    if (!contender->Open(far.SlavePath()))
        return false;
    const std::string chunk(BulkChunk, 'x');
    far.Start(TFarSide::TMode::Swallow, BulkBytes);
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t sent = 0; sent < BulkBytes; sent += BulkChunk)
        contender->Write(chunk);
    far.WaitUntilSwallowed();
    entry.Throughputs.push_back(MegabytesPerSecond(BulkBytes, std::chrono::steady_clock::now() - start));
    return true;
}

// 64-byte messages echoed by the far side, each timed from the write to the
// last byte of the answer.
void RunRoundTrips(TContenderEntry& entry, int count)
{
    TFarSide far;
    auto contender = entry.Make();
    if (!contender->Open(far.SlavePath()))
        return;
    far.Start(TFarSide::TMode::Echo);
    const std::string message(MessageBytes, 'm');
    char answer[MessageBytes];
    for (int trip = 0; trip < WarmUpRoundTrips + count; ++trip) {
        const auto start = std::chrono::steady_clock::now();
        contender->Write(message);
        contender->Read(answer, MessageBytes);
        if (trip >= WarmUpRoundTrips)
            entry.RoundTrips.push_back(std::chrono::steady_clock::now() - start);
    }
}

void Print(const std::string& name, double value, const char* unit)
{
    std::printf("%s %.3f %s\n", name.c_str(), value, unit);
}

double Throughput(const TContenderEntry& entry)
{
    return Median(entry.Throughputs);
}

double RoundTripP50(const TContenderEntry& entry)
{
    return PercentileMicroseconds(entry.RoundTrips, 0.50);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);

    std::vector<TContenderEntry> entries = {
        {"tcomport", MakeComPortContender},
        {"qserialport", MakeQSerialPortContender},
        {"raw", MakeRawContender},
        {"libserialport", MakeLibSerialPortContender},
    };
    for (int run = 0; run < ThroughputRuns; ++run) {
        for (TContenderEntry& entry : entries) {
            if (entry.Opened)
                entry.Opened = RunThroughput(entry);
        }
    }
    for (int block = 0; block < RoundTripBlocks; ++block) {
        for (TContenderEntry& entry : entries) {
            if (entry.Opened)
                RunRoundTrips(entry, RoundTrips / RoundTripBlocks);
        }
    }

    for (const TContenderEntry& entry : entries) {
        if (entry.Name == "libserialport")
            Print("libserialport_opens_pty", entry.Opened ? 1 : 0, "bool");
        if (!entry.Opened)
            continue;
        Print(entry.Name + "_throughput", Throughput(entry), "MB/s");
        Print(entry.Name + "_rtt_p50", RoundTripP50(entry), "us");
        Print(entry.Name + "_rtt_p99", PercentileMicroseconds(entry.RoundTrips, 0.99), "us");
    }

    const TContenderEntry& comPort = entries[0];
    for (const TContenderEntry* peer : {&entries[1], &entries[2], &entries[3]}) {
        if (!peer->Opened)
            continue;
        Print("throughput_ratio_vs_" + peer->Name, Throughput(comPort) / Throughput(*peer), "x");
        Print("rtt_p50_ratio_vs_" + peer->Name, RoundTripP50(comPort) / RoundTripP50(*peer), "x");
    }
    return 0;
}
