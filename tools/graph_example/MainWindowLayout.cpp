#include "MainWindowLayout.h"

#include <cmath>
#include <random>

void LoadMainWindowGraphLayout(TXYGraph& graph)
{
    graph.BeginLoading();
    graph.SetBounds(320, 8, 969, 361);
    graph.SetGraphTitle("Spectrogram");

    TColors& colors = graph.Colors();
    colors.SetAxisBkGnd(clSilver);
    colors.SetTickColor(clBlack);
    colors.SetGraphBkGnd(clBlack);
    colors.SetMainGridColor(clGray);
    colors.SetSubGridColor(clGray);

    TFont scale("small fonts", 7, clNavy);
    scale.SetHeight(12);
    TFont axisTitle("arial", 8, clMaroon, {fsBold});
    axisTitle.SetHeight(13);
    TFont graphTitle("arial", 10, clMaroon, {fsBold});
    graphTitle.SetHeight(17);
    graph.Fonts().SetAxisScale(scale);
    graph.Fonts().SetAxisTitle(axisTitle);
    graph.Fonts().SetGraphTitle(graphTitle);

    TPositions& positions = graph.Positions();
    positions.SetXAxisLeft(60);
    positions.SetXAxisRight(15);
    positions.SetYAxisTop(30);
    positions.SetYAxisBottom(50);
    positions.SetTitleTop(5);
    positions.SetTitleLeft(0);
    positions.SetXAxisTitle(20);
    positions.SetYAxisTitle(5);

    graph.XAxis().SetTitle("Wellenl\xe4nge (z.Z. Sensor-Pixel)");
    graph.XAxis().SetMax(512);
    graph.YAxis().SetTitle("Value");
    graph.YAxis().SetMax(256);
    for (TAxis* axis : {&graph.XAxis(), &graph.YAxis()}) {
        axis->SetMainTicks(5);
        axis->SetSubTicks(5);
        axis->SetMainTickLen(10);
        axis->SetSubTickLen(5);
        axis->SetDecimals(0);
        axis->SetShowMainGrid(true);
        axis->SetShowSubGrid(false);
    }
    graph.SetMaxZoom(5.0);
    graph.Loaded();
}

std::vector<TCurvePoint> SyntheticSpectrum(int count, unsigned seed)
{
    struct TLine {
        double Center;
        double Width;
        double Height;
    };
    static const TLine lines[] = {{88, 2.5, 150}, {161, 4, 70}, {254, 1.8, 190}, {331, 6, 55}, {436, 2.2, 120}};

    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0.0, 2.0);
    std::vector<TCurvePoint> points;
    points.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i) {
        const double x = count > 1 ? 6.0 + 506.0 * i / (count - 1) : 6.0;
        double value = 20.0 + 0.03 * x;
        for (const TLine& line : lines)
            value += line.Height * std::exp(-0.5 * std::pow((x - line.Center) / line.Width, 2));
        points.push_back({x, value + noise(random)});
    }
    return points;
}
