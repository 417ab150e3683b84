// Receive log benchmark: the real main window (offscreen unless a platform
// is chosen, e.g. QT_QPA_PLATFORM=xcb under Xvfb) taking what a misbehaving
// instrument sends over a pseudo-terminal.
//
//   flood      a stream that never ends its frame, unthrottled: the window's
//              peak memory above its idle figure, the intake of the first and
//              the last 10 s, and how soon a "Close" click takes effect
//   long_line  one frame whose first line is 10 MB long: its cost and peak
//              memory
//   paced      the same endless stream at 115200 baud for 30 s: the
//              program's CPU share over the whole time and over its first
//              and last 10 s, and the system calls and context switches of
//              the window's threads per delivery of received characters
//
//   receive_log [flood|long_line|paced]...   (all when none is named)
#include "Figures.h"
#include "InstrumentPeer.h"
#include "WindowBenchmark.h"

#include "app/ComMainForm.h"
#include "serial/CPort.h"
#include "simulator/FrameBuilder.h"
#include "support/KernelCounts.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

#include <time.h>

#include <array>
#include <atomic>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;

constexpr auto FloodTime = 30s;
constexpr auto PacedTime = 30s;
constexpr auto CpuWindow = 10s;
constexpr int PacedBaud = 115200;
constexpr size_t LongLineBytes = 10'000'000;
constexpr size_t StreamChunkBytes = 64 * 1024;
constexpr auto SettleTime = 300ms;

// Lines of readings as a frame carries them, and never an 'e'. Replies are
// made before the window is measured idle: the instrument's memory is this
// process's too.
TInstrumentPeer::TReply EndlessLines()
{
    auto chunk = std::make_shared<std::string>();
    for (int line = 0; chunk->size() < StreamChunkBytes; ++line)
        *chunk += std::to_string(line * 31 % 1000) + "\r\n";
    return [chunk](int) -> const std::string& { return *chunk; };
}

// A spectrum frame whose first header line is LongLineBytes longer, then a
// plain one.
TInstrumentPeer::TReply LongLineThenPlainFrame()
{
    auto frames = std::make_shared<std::array<std::string, 2>>();
    for (int number = 1; number <= 2; ++number) {
        std::string& frame = (*frames)[size_t(number - 1)];
        if (number == 1)
            frame.assign(LongLineBytes, '7');
        AppendFrame(frame, {uint64_t(number), 100, 512}, std::vector<int>(512 - 5, 100), TLineEnd::CrLf);
    }
    return [frames](int number) -> const std::string& { return (*frames)[size_t(number - 1)]; };
}

// A "VmRSS" or "VmHWM" figure of this process, in MB.
double ResidentMegabytes(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    std::string name;
    while (status >> name) {
        if (name == field + ":") {
            double kilobytes = 0;
            status >> kilobytes;
            return kilobytes / 1024.0;
        }
        status.ignore(1 << 16, '\n');
    }
    return -1.0;
}

// The peak ("VmHWM") starts again from the current figure.
void ResetPeakResident()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

double ThreadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

void RunEventsFor(std::chrono::milliseconds time)
{
    const TClock::time_point end = TClock::now() + time;
    while (TClock::now() < end)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

void QuitSoon()
{
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

// A mouse click on the button, queued like one from the display would be;
// callable from any thread.
void PostClick(QPushButton* button)
{
    QMetaObject::invokeMethod(
        button,
        [button] {
            const QPointF at = QRectF(button->rect()).center();
            const QPointF global = button->mapToGlobal(at);
            QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(button, &press);
            QCoreApplication::sendEvent(button, &release);
        },
        Qt::QueuedConnection);
}

// The window with its port open on the peer's line, idle; it notes when
// the port has closed and then ends the event loop.
class TWindow {
public:
    TWindow()
    {
        form.show();
        form.Edit_Data->setText(QStringLiteral("100"));
        form.ComPort->OnRxChar = [this, received = form.ComPort->OnRxChar](TCustomComPort* sender, std::int32_t count) {
            ++deliveries;
            received(sender, count);
        };
        form.ComPort->OnAfterClose = [this](TCustomComPort* sender) {
            afterClose(sender);
            closedAt = TClock::now();
            QuitSoon();
        };
    }
    // The window's own handlers for the close on the way out, which must not
    // end the next run's event loop.
    ~TWindow()
    {
        form.ComPort->OnAfterClose = afterClose;
        form.ComPort->OnRxChar = rxChar;
    }
    TWindow(const TWindow&) = delete;
    TWindow& operator=(const TWindow&) = delete;

    void Open()
    {
        form.Button_OpenClick();
        RunEventsFor(SettleTime);
        idleMegabytes = ResidentMegabytes("VmRSS");
        ResetPeakResident();
    }
    double PeakAboveIdle() const { return ResidentMegabytes("VmHWM") - idleMegabytes; }

    TForm1 form;
    const TCustomComPort::TNotifyEvent afterClose = form.ComPort->OnAfterClose;
    const TRxCharEvent rxChar = form.ComPort->OnRxChar;
    // OnRxChar calls: one a delivery of received characters.
    std::atomic<long> deliveries = 0;
    double idleMegabytes = 0;
    TClock::time_point closedAt;
};

// The program's CPU time: the process's less the peer's and the caller's.
double ProgramCpuSeconds(const TInstrumentPeer& peer)
{
    return ProcessCpuSeconds() - Seconds(peer.CpuTime()) - ThreadCpuSeconds();
}

// What the instrument has written, the CPU time the program has used, the
// deliveries of received characters and what the kernel did for the window.
struct TSample {
    double megabytes = 0;
    double cpuSeconds = 0;
    double deliveries = 0;
    TKernelCounts::TSample kernel;

    TSample operator-(const TSample& earlier) const
    {
        return {megabytes - earlier.megabytes, cpuSeconds - earlier.cpuSeconds, deliveries - earlier.deliveries,
                kernel - earlier.kernel};
    }
};

TSample Take(const TInstrumentPeer& peer, const TWindow& window, const TKernelCounts& counts)
{
    return {double(peer.BytesWritten()) / 1e6, ProgramCpuSeconds(peer), double(window.deliveries), counts.Now()};
}

// What a stream that never ends its frame did to the window.
struct TStreamRun {
    double receivedMegabytes = 0;
    double idleMegabytes = 0;
    double peakAboveIdle = 0;
    double closeLatencyMs = 0;
    TSample firstWindow; // over the first CpuWindow
    TSample lastWindow;  // over the last one
    TSample whole;
};

// Streams for the given time at the given rate, then clicks "Close"; the
// samples are taken from a thread of its own.
TStreamRun Stream(int baud, TClock::duration time)
{
    TWindow window;
    TInstrumentPeer peer(baud, INT_MAX, [] {}, EndlessLines(), TInstrumentPeer::TPace::StreamAfterFirstCommand);
    // Begun after the instrument's thread and before the port's event thread.
    const TKernelCounts counts;
    window.Open();
    TStreamRun run;
    TClock::time_point clickedAt;
    window.form.Button_SendClick();
    const TClock::time_point start = TClock::now();
    std::thread monitor([&] {
        const TSample atStart = Take(peer, window, counts);
        std::this_thread::sleep_until(start + CpuWindow);
        run.firstWindow = Take(peer, window, counts) - atStart;
        std::this_thread::sleep_until(start + time - CpuWindow);
        const TSample before = Take(peer, window, counts);
        std::this_thread::sleep_until(start + time);
        const TSample atEnd = Take(peer, window, counts);
        run.lastWindow = atEnd - before;
        run.whole = atEnd - atStart;
        clickedAt = TClock::now();
        PostClick(window.form.Button_Open);
    });
    QApplication::exec();
    monitor.join();
    run.receivedMegabytes = double(peer.BytesWritten()) / 1e6;
    run.idleMegabytes = window.idleMegabytes;
    run.peakAboveIdle = window.PeakAboveIdle();
    run.closeLatencyMs = Seconds(window.closedAt - clickedAt) * 1e3;
    return run;
}

void Flood()
{
    const TStreamRun run = Stream(0, FloodTime);
    const double windowSeconds = Seconds(CpuWindow);
    Print("flood_received", run.receivedMegabytes, "MB");
    Print("flood_idle_memory", run.idleMegabytes, "MB");
    Print("flood_peak_memory_above_idle", run.peakAboveIdle, "MB");
    Print("flood_intake_first_10s", run.firstWindow.megabytes / windowSeconds, "MB/s");
    Print("flood_intake_last_10s", run.lastWindow.megabytes / windowSeconds, "MB/s");
    Print("flood_intake_last_vs_first", run.lastWindow.megabytes / run.firstWindow.megabytes, "ratio");
    // Intake per CPU second of the program: steady also when other programs
    // take the machine's time.
    Print("flood_intake_per_cpu_first_10s", run.firstWindow.megabytes / run.firstWindow.cpuSeconds, "MB/cpu-s");
    Print("flood_intake_per_cpu_last_10s", run.lastWindow.megabytes / run.lastWindow.cpuSeconds, "MB/cpu-s");
    Print("flood_close_latency", run.closeLatencyMs, "ms");
}

void LongLine()
{
    TWindow window;
    TInstrumentPeer peer(0, 2, QuitSoon, LongLineThenPlainFrame());
    window.Open();
    window.form.Button_SendClick();
    QApplication::exec();
    if (peer.CommandArrivals().size() != 2) {
        std::fprintf(stderr, "receive_log: the frame after the long line was never asked for\n");
        std::exit(1);
    }
    // From the command asking for the long frame to the one asking for the next.
    Print("long_line_bytes", double(LongLineBytes) / 1e6, "MB");
    Print("long_line_frame_cost", Seconds(peer.CommandArrivals()[1] - peer.CommandArrivals()[0]), "s");
    Print("long_line_peak_memory_above_idle", window.PeakAboveIdle(), "MB");
}

void Paced()
{
    const TStreamRun run = Stream(PacedBaud, PacedTime);
    const double windowSeconds = Seconds(CpuWindow);
    const TKernelCounts::TSample perDelivery = run.whole.kernel / run.whole.deliveries;
    Print("paced_received", run.receivedMegabytes, "MB");
    Print("paced_cpu_30s", run.whole.cpuSeconds / Seconds(PacedTime) * 100.0, "%");
    Print("paced_deliveries_per_s", run.whole.deliveries / Seconds(PacedTime), "deliveries/s");
    if (TKernelCounts().Available()) {
        Print("paced_syscalls_per_delivery", perDelivery.SystemCalls, "calls");
        Print("paced_context_switches_per_delivery", perDelivery.ContextSwitches, "switches");
    } else {
        std::fprintf(stderr, "receive_log: %s\n", TKernelCounts::Refusal);
    }
    Print("paced_cpu_first_10s", run.firstWindow.cpuSeconds / windowSeconds * 100.0, "%");
    Print("paced_cpu_last_10s", run.lastWindow.cpuSeconds / windowSeconds * 100.0, "%");
    Print("paced_peak_memory_above_idle", run.peakAboveIdle, "MB");
    Print("paced_close_latency", run.closeLatencyMs, "ms");
}

} // namespace

int main(int argc, char** argv)
{
    return RunWindowBenchmark(argc, argv, "receive_log", [](const QStringList& chosen) {
        const std::vector<std::pair<QString, void (*)()>> runs{
            {QStringLiteral("flood"), Flood}, {QStringLiteral("long_line"), LongLine}, {QStringLiteral("paced"), Paced}};
        for (const auto& [name, run] : runs) {
            if (chosen.isEmpty() || chosen.contains(name))
                run();
        }
        return 0;
    });
}
