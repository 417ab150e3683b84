#include "ComPortHalf.h"

#include "FarSide.h"

#include "serial/CPort.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <fcntl.h>
#include <poll.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <string>
#include <thread>

namespace {

int CountEntries(const char* directory)
{
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(directory))
        ++count;
    return count;
}

// CPU time of every thread but the main one, in nanoseconds; the thread
// clocks are read by thread id, as the kernel allows within one process.
double OtherThreadsCpuNanoseconds()
{
    double total = 0;
    const pid_t self = getpid();
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) {
        const pid_t tid = std::stoi(entry.path().filename().string());
        if (tid == self)
            continue;
        const clockid_t clock = (~static_cast<clockid_t>(tid) << 3) | 6;  // per-thread scheduler clock
        timespec used{};
        if (clock_gettime(clock, &used) == 0)
            total += static_cast<double>(used.tv_sec) * 1e9 + static_cast<double>(used.tv_nsec);
    }
    return total;
}

void OpenOnPty(TComPort& port, const PtyPair& pty)
{
    port.SetPort(pty.SlavePath());
    port.SetBaudRate(br115200);
    port.SetEventChar('e');
    port.Connect();
}

} // namespace

LatencyRun MeasureComPortLatency(int events)
{
    PtyPair pty;
    LatencyProbe probe(pty.MasterFd(), events);
    // Begun before the port starts its event thread, so that thread counts.
    const TKernelCounts counts;
    TComPort port;
    QEventLoop loop;
    port.OnRxChar = [&](TCustomComPort* sender, std::int32_t count) {
        std::string bytes;
        sender->ReadText(bytes, count);
        probe.Seen();
        if (probe.Done())
            loop.quit();
    };
    OpenOnPty(port, pty);
    const TKernelCounts::TSample before = counts.Now();
    probe.Start();
    loop.exec();
    const TKernelCounts::TSample after = counts.Now();
    port.Disconnect();
    return {probe.Latencies(), after - before};
}

double MeasureIdleEventThreadCpu(int seconds)
{
    PtyPair pty;
    TComPort port;
    OpenOnPty(port, pty);
    const double before = OtherThreadsCpuNanoseconds();
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    const double used = OtherThreadsCpuNanoseconds() - before;
    port.Disconnect();
    return used / 1e6;
}

StressResult RunOpenCloseStress(int cycles)
{
    PtyPair pty;
    TComPort port;
    std::atomic<long> deliveries = 0;
    port.OnRxChar = [&](TCustomComPort* sender, std::int32_t count) {
        std::string bytes;
        sender->ReadText(bytes, count);
        ++deliveries;
    };
    port.OnRxFlag = [&](TCustomComPort*) { ++deliveries; };
    // The first open sets up what lives as long as the process.
    OpenOnPty(port, pty);
    port.Disconnect();

    std::atomic<bool> stop = false;
    const int farFd = pty.MasterFd();
    fcntl(farFd, F_SETFL, fcntl(farFd, F_GETFL) | O_NONBLOCK);
    std::thread flood([&] {
        const std::string chunk = "123\r456\r789\re";
        while (!stop) {
            if (write(farFd, chunk.data(), chunk.size()) < 0 && errno == EAGAIN) {
                pollfd entry{farFd, POLLOUT, 0};
                poll(&entry, 1, 10);
            }
        }
    });
    const int descriptors = CountEntries("/proc/self/fd");
    const int threads = CountEntries("/proc/self/task");

    QElapsedTimer timer;
    timer.start();
    const TSyncMethod modes[] = {smThreadSync, smWindowSync, smNone};
    for (int cycle = 0; cycle < cycles; ++cycle) {
        port.SetSyncMethod(modes[cycle % 3]);
        port.Connect();
        const long before = deliveries;
        QElapsedTimer wait;
        wait.start();
        while (deliveries == before && wait.elapsed() < 1000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        port.Disconnect();
    }
    StressResult result;
    result.Seconds = static_cast<double>(timer.elapsed()) / 1000.0;
    result.Cycles = cycles;
    result.Deliveries = deliveries;
    result.LeakedDescriptors = CountEntries("/proc/self/fd") - descriptors;
    result.LeakedThreads = CountEntries("/proc/self/task") - threads;
    stop = true;
    flood.join();
    return result;
}
