// Event delivery of the serial component against QSerialPort: the time from
// a byte written on the far side of a pseudo-terminal to the handler running
// on the UI thread, and the system calls and context switches each delivery
// costs the receiving side; the event thread's CPU time while the line is
// quiet; and open/close cycles under a flood.
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

void printRun(const char* prefix, const LatencyRun& run, bool counted)
{
    PrintFigure(std::string(prefix) + "_event_latency_p50", Percentile(run.Latencies, 0.50), "us");
    PrintFigure(std::string(prefix) + "_event_latency_p99", Percentile(run.Latencies, 0.99), "us");
    if (!counted)
        return;
    const TKernelCounts::TSample perDelivery = run.Counts / static_cast<double>(run.Latencies.size());
    PrintFigure(std::string(prefix) + "_syscalls_per_delivery", perDelivery.SystemCalls, "calls");
    PrintFigure(std::string(prefix) + "_context_switches_per_delivery", perDelivery.ContextSwitches, "switches");
}

void printRatio(const char* name, double ours, double peer)
{
    PrintFigure(std::string(name) + "_ratio_vs_qserialport", ours / peer, "x");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    try {
        const bool counted = TKernelCounts().Available();
        if (!counted)
            std::fprintf(stderr, "serial_events: %s\n", TKernelCounts::Refusal);
        LatencyRun qt;
        LatencyRun ours;
        for (int round = 0; round < LatencyRounds; ++round) {
            qt.Add(MeasureQSerialPortLatency(LatencyEventsPerRound));
            ours.Add(MeasureComPortLatency(LatencyEventsPerRound));
        }
        printRun("qserialport", qt, counted);
        printRun("comport", ours, counted);
        printRatio("event_latency_p50", Percentile(ours.Latencies, 0.50), Percentile(qt.Latencies, 0.50));
        printRatio("event_latency_p99", Percentile(ours.Latencies, 0.99), Percentile(qt.Latencies, 0.99));
        if (counted) {
            printRatio("syscalls_per_delivery", ours.Counts.SystemCalls, qt.Counts.SystemCalls);
            printRatio("context_switches_per_delivery", ours.Counts.ContextSwitches, qt.Counts.ContextSwitches);
        }

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
