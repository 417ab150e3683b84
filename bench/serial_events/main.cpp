// Event latency of the serial component against QSerialPort: the time from
// a byte written on the far side of a pseudo-terminal to the handler running
// on the UI thread.
#include "FarSide.h"
#include "QSerialPortPeer.h"

#include <QCoreApplication>

#include <cstdio>
#include <exception>

namespace {

constexpr int LatencyEvents = 10000;

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
        const std::vector<double> qt = MeasureQSerialPortLatency(LatencyEvents);
        printLatencies("qserialport", qt);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "serial_events: %s\n", error.what());
        return 1;
    }
    return 0;
}
