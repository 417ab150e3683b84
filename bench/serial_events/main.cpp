// Event delivery of the serial component against QSerialPort: the time from
// a byte written on the far side of a pseudo-terminal to the handler running
// on the UI thread; the event thread's CPU time while the line is quiet; and
// open/close cycles under a flood.
#include "ComPortHalf.h"
#include "FarSide.h"
#include "QSerialPortPeer.h"

#include <QCoreApplication>

#include <cstdio>
#include <exception>

namespace {

// The two peers take turns, so that a change in the machine's load
// affects both alike.
constexpr int LatencyRounds = 5;
constexpr int LatencyEventsPerRound = 2000;
constexpr int IdleSeconds = 5;
constexpr int StressCycles = 1000;

void printLatencies(const char* prefix, const std::vector<double>& latencies)
{
    PrintFigure(std::string(prefix) + "_event_latency_p50", Percentile(latencies, 0.50), "us");
    PrintFigure(std::string(prefix) + "_event_latency_p99", Percentile(latencies, 0.99), "us");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    try {
        std::vector<double> qt;
        std::vector<double> ours;
        for (int round = 0; round < LatencyRounds; ++round) {
            const std::vector<double> qtRound = MeasureQSerialPortLatency(LatencyEventsPerRound);
            const std::vector<double> oursRound = MeasureComPortLatency(LatencyEventsPerRound);
            qt.insert(qt.end(), qtRound.begin(), qtRound.end());
            ours.insert(ours.end(), oursRound.begin(), oursRound.end());
        }
        printLatencies("qserialport", qt);
        printLatencies("comport", ours);
        PrintFigure("event_latency_p50_ratio_vs_qserialport", Percentile(ours, 0.50) / Percentile(qt, 0.50), "x");
        PrintFigure("event_latency_p99_ratio_vs_qserialport", Percentile(ours, 0.99) / Percentile(qt, 0.99), "x");

        PrintFigure("idle_event_thread_cpu_5s", MeasureIdleEventThreadCpu(IdleSeconds), "ms");

        const StressResult stress = RunOpenCloseStress(StressCycles);
        PrintFigure("stress_open_close_cycles", stress.Cycles, "cycles");
        PrintFigure("stress_deliveries", static_cast<double>(stress.Deliveries), "events");
        PrintFigure("stress_leaked_descriptors", stress.LeakedDescriptors, "fds");
        PrintFigure("stress_leaked_threads", stress.LeakedThreads, "threads");
        PrintFigure("stress_duration", stress.Seconds, "s");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "serial_events: %s\n", error.what());
        return 1;
    }
    return 0;
}
