// Time-series soak: the real window (offscreen) acquiring unthrottled from
// the simulator program (a process of its own, so its memory is not
// counted) with four bands tracked and the
// strip chart open, for --seconds (default 3600); --bands sets them
// ("95:4 171:3 243:4 402:6" by default; none: no tracking, for comparison). Every 10 s it notes the
// resident memory and times one pan step of the strip chart. It prints the
// frames, the memory after the first minute and at the end, their
// difference, and the pan step's median and worst time; the memory at each
// sample goes to the standard error. Not for CI: it runs as long as it is
// told.
#include "Figures.h"
#include "WindowBenchmark.h"

#include "app/AcquisitionMonitor.h"
#include "app/ComMainForm.h"
#include "app/Measurement.h"
#include "app/MeasurementMenu.h"
#include "app/OperatorMenu.h"
#include "app/TimeSeriesWindow.h"
#include "graph/Graph.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QProcess>
#include <QTimer>

#include <unistd.h>

#include <cstdio>
#include <fstream>

namespace {

constexpr int SampleSeconds = 10;

double ResidentMegabytes()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

int Soak(int seconds, const QString& bands)
{
    QProcess simulator;
    simulator.start(QStringLiteral(SIMULATOR_PROGRAM), {QStringLiteral("--name"), QStringLiteral("COM11")});
    // It prints "NAME DEVICE" once its port is in the port map.
    if (!simulator.waitForReadyRead(10000)) {
        std::fprintf(stderr, "time_series_soak: the simulator did not start\n");
        return 1;
    }
    TForm1 form;
    form.show();
    form.Edit_Data->setText(QStringLiteral("100"));
    form.Button_OpenClick();
    // "none": the window as built, for comparison.
    const bool tracking = bands != QStringLiteral("none");
    form.MeasurementMenu().Track(TMeasurementMenu::ParseBands(tracking ? bands : QStringLiteral("1")));
    TTimeSeriesWindow& chart = *form.MeasurementMenu().SeriesWindow();
    if (!tracking)
        form.MeasurementMenu().Measurement().Track({});

    double firstMinute = 0.0;
    double last = 0.0;
    std::vector<double> panMs;
    int elapsed = 0;
    QTimer sampler;
    sampler.setInterval(SampleSeconds * 1000);
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        elapsed += SampleSeconds;
        last = ResidentMegabytes();
        std::fprintf(stderr, "%d s: %.2f MB, %zu entries\n", elapsed, last,
                     form.MeasurementMenu().Measurement().Series().Entries().size());
        if (elapsed == 60)
            firstMinute = last;
        // A pan step as a drag makes it: the chart stops following and
        // redraws at once.
        chart.Follow().setChecked(false);
        const auto start = TClock::now();
        chart.Graph().PanStep(-20, 0);
        chart.Refresh();
        panMs.push_back(Seconds(TClock::now() - start) * 1e3);
        chart.Follow().setChecked(true);
        if (elapsed >= seconds)
            QCoreApplication::quit();
    });
    sampler.start();
    form.Button_SendClick();
    QApplication::exec();
    const int frames = form.OperatorMenu().Monitor().Status().Frames();
    form.Button_OpenClick();
    simulator.terminate();
    simulator.waitForFinished(5000);

    Print("soak_seconds", elapsed, "s");
    Print("frames", frames, "frames");
    Print("series_entries", double(form.MeasurementMenu().Measurement().Series().Entries().size()), "entries");
    Print("rss_after_first_minute_mb", firstMinute, "MB");
    Print("rss_at_end_mb", last, "MB");
    Print("rss_growth_after_first_minute_mb", last - firstMinute, "MB");
    Print("pan_step_p50_ms", Percentile(panMs, 0.5), "ms");
    Print("pan_step_max_ms", Percentile(panMs, 1.0), "ms");
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    return RunWindowBenchmark(argc, argv, "time_series_soak", [](const QStringList& arguments) {
        const qsizetype at = arguments.indexOf(QStringLiteral("--seconds"));
        const int seconds = at >= 0 && at + 1 < arguments.size() ? arguments[at + 1].toInt() : 3600;
        const qsizetype bands = arguments.indexOf(QStringLiteral("--bands"));
        return Soak(std::max(seconds, 60), bands >= 0 && bands + 1 < arguments.size()
                                               ? arguments[bands + 1]
                                               : QStringLiteral("95:4 171:3 243:4 402:6"));
    });
}
