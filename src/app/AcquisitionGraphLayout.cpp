#include "app/AcquisitionGraphLayout.h"

#include "graph/Graph.h"

namespace {

TFont GraphFont(const char* name, int height, TColor color, TFontStyles style)
{
    TFont font;
    font.SetName(name);
    font.SetHeight(height);
    font.SetColor(color);
    font.SetStyle(style);
    return font;
}

void LoadAxisTicks(TAxis& axis)
{
    axis.SetMainTicks(5);
    axis.SetSubTicks(5);
    axis.SetMainTickLen(10);
    axis.SetSubTickLen(5);
    axis.SetDecimals(0);
    axis.SetShowMainGrid(true);
    axis.SetShowSubGrid(false);
}

} // namespace

void LoadSpectrumGraphSettings(TXYGraph& graph, TGraphPlacement placement)
{
    graph.BeginLoading();
    if (placement == TGraphPlacement::WindowBounds)
        graph.SetBounds(320, 8, 969, 361);
    graph.SetGraphTitle("Spectrogram");

    TColors& colors = graph.Colors();
    colors.SetAxisBkGnd(0xC0C0C0);
    colors.SetTickColor(0);
    colors.SetGraphBkGnd(0);
    colors.SetMainGridColor(0x808080);
    colors.SetSubGridColor(0x808080);

    TFonts& fonts = graph.Fonts();
    fonts.SetAxisScale(GraphFont("small fonts", 12, 0x800000, {}));
    fonts.SetAxisTitle(GraphFont("arial", 13, 0x000080, {fsBold}));
    fonts.SetGraphTitle(GraphFont("arial", 17, 0x000080, {fsBold}));

    TPositions& positions = graph.Positions();
    positions.SetXAxisLeft(60);
    positions.SetXAxisRight(15);
    positions.SetYAxisTop(30);
    positions.SetYAxisBottom(50);
    positions.SetTitleTop(5);
    positions.SetTitleLeft(0);
    positions.SetXAxisTitle(20);
    positions.SetYAxisTitle(5);

    // 8-bit text: the a-umlaut is code 0xE4.
    graph.XAxis().SetTitle("Wellenl\xe4nge (z.Z. Sensor-Pixel)");
    graph.XAxis().SetMax(512);
    LoadAxisTicks(graph.XAxis());
    graph.YAxis().SetTitle("Value");
    graph.YAxis().SetMax(256);
    LoadAxisTicks(graph.YAxis());

    graph.SetMaxZoom(5.0);
    graph.Loaded();
}
