// Times the measurement work on one frame of the simulator's fluorescent
// lamp, at 507 points (the window's) and at 3648 (a common CCD's), and
// prints "name value unit" lines, medians in milliseconds:
//   peaks_*_ms        the peak finder on the frame
//   proposal_*_ms     peaks and suggested pairings, as the dialog starts
//   fit_*_ms          the cubic fit of the pairs
//   plot_*_ms, plot_calibrated_*_ms
//                     replacing the graph's curve and painting it, with x in
//                     pixels and in nm; and their ratio
#include "graph/Graph.h"
#include "app/AcquisitionGraphLayout.h"
#include "simulator/LampOptions.h"
#include "spectrum/CalibrationProposal.h"
#include "support/Timing.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int Rounds = 201;

void Print(const std::string& name, double value, const char* unit)
{
    std::printf("%s %.6g %s\n", name.c_str(), value, unit);
}

double MedianMilliseconds(const std::function<void()>& work)
{
    std::vector<double> times;
    for (int round = 0; round < Rounds; ++round)
        times.push_back(Milliseconds(work));
    return Median(times);
}

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    TXYGraph graph;
    LoadSpectrumGraphSettings(graph, TGraphPlacement::WindowBounds);
    graph.show();
    QApplication::processEvents();

    for (const int points : {507, 3648}) {
        const std::string size = std::to_string(points);
        const int last = 6 + points - 1;
        // The lamp's lines spread over this sensor's pixels as the default
        // calibration spreads them over 507.
        const double stretch = (last - 6.0) / (512 - 6.0);
        const auto& simulated = TLampOptions::DefaultCalibration;
        std::vector<double> coefficients;
        for (size_t k = 0; k < simulated.size(); ++k)
            coefficients.push_back(simulated[k] / std::pow(stretch, double(k)));
        TLampOptions lamp;
        lamp.Lamp = TLamp::Fluorescent;
        lamp.Calibration = coefficients;
        TSensorModel sensor(last, 1, LampEmissionLines(lamp, last));
        std::vector<int> readings;
        sensor.Generate(TSensorModel::ReferenceExposure, readings);
        std::vector<double> curve;
        for (const int reading : readings)
            curve.push_back(256 - reading);

        const std::vector<TReferenceLine>& lines = ReferenceLines(TLamp::Fluorescent);
        TCalibrationProposal proposal;
        Print("peaks_" + size + "_ms", MedianMilliseconds([&] { FindPeaks(curve, {.PeaksDown = true}); }), "ms");
        Print("proposal_" + size + "_ms",
              MedianMilliseconds([&] { proposal = ProposeCalibration(curve, 6, lines, {.PeaksDown = true}); }), "ms");
        Print("paired_lines_" + size, double(proposal.Pairs(lines).size()), "lines");
        const TWavelengthCalibration calibration(coefficients);
        Print("fit_" + size + "_ms",
              MedianMilliseconds([&] { FitCalibration(proposal.Pairs(lines), 3, 6, last); }), "ms");

        std::vector<double> wavelengths;
        for (int pixel = 6; pixel <= last; ++pixel)
            wavelengths.push_back(calibration.Wavelength(pixel));
        const auto plot = [&](bool calibrated) {
            graph.XAxis().SetMin(calibrated ? wavelengths.front() : 0);
            graph.XAxis().SetMax(calibrated ? wavelengths.back() : last);
            return MedianMilliseconds([&] {
                graph.DeleteCurve(0);
                const int index = graph.AddCurve("Sinus", 65280, 1, 0, true);
                for (size_t i = 0; i < curve.size(); ++i)
                    graph.AddPoint(index, calibrated ? wavelengths[i] : double(6 + i), curve[i]);
                graph.Paint();
            });
        };
        const double pixels = plot(false);
        const double nanometres = plot(true);
        Print("plot_" + size + "_ms", pixels, "ms");
        Print("plot_calibrated_" + size + "_ms", nanometres, "ms");
        Print("plot_calibrated_ratio_" + size, nanometres / pixels, "ratio");
    }
    return 0;
}
