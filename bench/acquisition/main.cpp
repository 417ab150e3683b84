// Acquisition benchmark: the real main window (offscreen) acquiring from the
// instrument's end of a pseudo-terminal. Unthrottled it measures frames per
// second, the cycle latency (the frame's 'e' written to the next exposure
// command arriving) and the program's CPU time per frame; paced at 115200
// baud it measures how close the program keeps to the line rate.
#include "Figures.h"
#include "InstrumentPeer.h"
#include "WindowBenchmark.h"

#include "app/CalibrationMenu.h"
#include "app/ComMainForm.h"
#include "app/Measurement.h"
#include "app/MeasurementMenu.h"
#include "simulator/FrameBuilder.h"
#include "simulator/SensorModel.h"
#include "spectrum/SensorLayout.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

#include <cstdio>

namespace {

constexpr int WarmUpFrames = 200;
constexpr int MeasuredFrames = 2000;
constexpr int PacedFrames = 25;
constexpr int PacedBaud = 115200;

struct TRun {
    std::vector<TClock::time_point> arrivals;
    std::vector<TClock::time_point> frameEnds;
    size_t frameBytes = 0;
    double programCpuSeconds = 0.0;
};

// Opens the window's port, sends the first exposure and lets acquisition
// run until the peer has served `frames` frames; with a layout, the window
// uses it and the peer answers with `reply`; calibrated, the x axis is in nm.
TRun Acquire(int baud, int frames, const TFrameLayout* layout = nullptr, TInstrumentPeer::TReply reply = {},
             bool calibrated = false)
{
    TForm1 form;
    if (calibrated)
        form.CalibrationMenu().ApplyCalibration(TWavelengthCalibration({344.5, 0.915, -1.0e-4, 1.0e-7}));
    form.show();
    form.Edit_Data->setText(QStringLiteral("100"));
    if (layout)
        form.MeasurementMenu().Measurement().SetLayout(*layout);
    TInstrumentPeer peer(
        baud, frames, [] { QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection); },
        std::move(reply));
    form.Button_OpenClick();
    const double cpuBefore = ProcessCpuSeconds();
    form.Button_SendClick();
    QApplication::exec();
    const double cpuAfter = ProcessCpuSeconds();
    form.Button_OpenClick();

    TRun run;
    run.arrivals = peer.CommandArrivals();
    run.frameEnds = peer.FrameEnds();
    run.frameBytes = peer.FrameBytes();
    run.programCpuSeconds = cpuAfter - cpuBefore - std::chrono::duration<double>(peer.CpuTime()).count();
    return run;
}

// The preset sensor of `pixels` readings, fed the simulator's spectrum of
// that size unthrottled: a decode, a plot and a paint per frame.
int MeasureLayout(int pixels)
{
    const TFrameLayout* layout = nullptr;
    for (const TSensorPreset& preset : SensorPresets())
        if (preset.Layout.Pixels == pixels)
            layout = &preset.Layout;
    if (!layout) {
        std::fprintf(stderr, "acquisition: no sensor preset of %d pixels\n", pixels);
        return 2;
    }
    TSampleOptions sample;
    sample.Pixels = pixels;
    sample.FullScale = layout->FullScale;
    sample.FallingOutput = layout->FallingOutput;
    TSensorModel model(layout->LastReading(), 1, sample);
    std::vector<std::string> frames(16);
    std::vector<int> readings;
    for (size_t k = 0; k < frames.size(); ++k) {
        model.Generate(100, readings);
        AppendFrame(frames[k], {k + 1, 100, layout->LastReading()}, readings, TLineEnd::CrLf);
    }
    const TRun run = Acquire(0, WarmUpFrames + MeasuredFrames, layout,
                             [&frames](int number) -> const std::string& { return frames[size_t(number) % frames.size()]; });
    if (run.frameEnds.size() != size_t(WarmUpFrames + MeasuredFrames)) {
        std::fprintf(stderr, "acquisition: only %zu frames served\n", run.frameEnds.size());
        return 1;
    }
    const std::string suffix = "_" + std::to_string(pixels);
    const double elapsed = Seconds(run.arrivals.back() - run.arrivals[WarmUpFrames - 1]);
    std::vector<double> cycles;
    for (size_t k = WarmUpFrames; k < run.arrivals.size(); ++k)
        cycles.push_back(Seconds(run.arrivals[k] - run.arrivals[k - 1]) * 1e3);
    Print(("frame_bytes" + suffix).c_str(), double(run.frameBytes), "bytes");
    Print(("frames_per_s" + suffix).c_str(), double(MeasuredFrames) / elapsed, "frames/s");
    Print(("cycle_p50_ms" + suffix).c_str(), Percentile(cycles, 0.50), "ms");
    Print(("cycle_p99_ms" + suffix).c_str(), Percentile(cycles, 0.99), "ms");
    Print(("program_cpu_s_per_frame" + suffix).c_str(), run.programCpuSeconds / double(run.frameEnds.size()), "s");
    return 0;
}

int Measure()
{
    const TRun fast = Acquire(0, WarmUpFrames + MeasuredFrames);
    if (fast.frameEnds.size() != size_t(WarmUpFrames + MeasuredFrames)) {
        std::fprintf(stderr, "acquisition: only %zu frames served\n", fast.frameEnds.size());
        return 1;
    }
    // From the command asking for the first measured frame to the command
    // after the last one: MeasuredFrames whole cycles.
    const double elapsed = Seconds(fast.arrivals.back() - fast.arrivals[WarmUpFrames - 1]);
    std::vector<double> latencies;
    for (size_t k = WarmUpFrames; k < fast.arrivals.size(); ++k)
        latencies.push_back(Seconds(fast.arrivals[k] - fast.frameEnds[k - 1]) * 1e3);
    Print("frames", MeasuredFrames, "frames");
    Print("frame_bytes", double(fast.frameBytes), "bytes");
    Print("frames_per_s", double(MeasuredFrames) / elapsed, "frames/s");
    Print("cycle_latency_p50_ms", Percentile(latencies, 0.50), "ms");
    Print("cycle_latency_p99_ms", Percentile(latencies, 0.99), "ms");
    Print("cycle_latency_max_ms", Percentile(latencies, 1.0), "ms");
    Print("program_cpu_s_per_frame", fast.programCpuSeconds / double(fast.frameEnds.size()), "s");

    const TRun calibrated = Acquire(0, WarmUpFrames + MeasuredFrames, nullptr, {}, true);
    const double calibratedElapsed = Seconds(calibrated.arrivals.back() - calibrated.arrivals[WarmUpFrames - 1]);
    Print("frames_per_s_calibrated", double(MeasuredFrames) / calibratedElapsed, "frames/s");
    Print("frames_per_s_calibrated_ratio", elapsed / calibratedElapsed, "ratio");

    const TRun paced = Acquire(PacedBaud, PacedFrames);
    if (paced.frameEnds.size() != size_t(PacedFrames)) {
        std::fprintf(stderr, "acquisition: only %zu paced frames served\n", paced.frameEnds.size());
        return 1;
    }
    // Whole cycles from the first command to the last frame's end.
    const double pacedElapsed = Seconds(paced.frameEnds.back() - paced.arrivals.front());
    const double pacedRate = double(PacedFrames) / pacedElapsed;
    const double lineLimit = double(PacedBaud) / (10.0 * double(paced.frameBytes));
    Print("frames_per_s_115200", pacedRate, "frames/s");
    Print("linerate_limit_115200", lineLimit, "frames/s");
    Print("linerate_fraction_115200", pacedRate / lineLimit, "ratio");
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    // --pixels N: the preset sensor of N readings instead of the window as built.
    return RunWindowBenchmark(argc, argv, "acquisition", [](const QStringList& arguments) {
        const qsizetype pixels = arguments.indexOf(QStringLiteral("--pixels"));
        if (pixels >= 0 && pixels + 1 < arguments.size())
            return MeasureLayout(arguments[pixels + 1].toInt());
        return Measure();
    });
}
