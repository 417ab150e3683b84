// Uses the components the way a program of its own would: a port whose
// open fails with the component's own error, a selector bound to the port,
// and a graph that draws a curve.
// Prints what it saw; exit status 1 when either does not behave.

static_assert(__cplusplus >= 202002L, "linking a component must switch on C++20");

#include "graph/Graph.h"
#include "serial/CPort.h"
#include "serial_ui/ComComboBox.h"

#include <QApplication>
#include <QImage>

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

bool PortReportsOpenFailure()
{
    TComPort port;
    port.SetPort("/nonexistent/ttyMirelda");
    port.SetBaudRate(br115200);
    port.OnRxChar = [](TCustomComPort* sender, std::int32_t count) {
        std::string text;
        sender->ReadText(text, count);
    };
    try {
        port.Connect();
    } catch (const EComPort& error) {
        std::printf("serial: %s\n", error.what());
        return !port.Connected() && error.FailureCode() >= 1 && error.FailureCode() <= 24;
    }
    std::printf("serial: a port without a device opened\n");
    return false;
}

bool SelectorShowsPortSetting()
{
    TComPort port;
    port.SetBaudRate(br115200);
    TComComboBox baudRate;
    baudRate.SetComProperty(cpBaudRate);
    baudRate.SetComPort(&port);
    std::printf("serial_ui: %d baud texts, %s selected\n", baudRate.count(), baudRate.Text().c_str());
    return baudRate.count() == 16 && baudRate.Text() == "115200";
}

bool GraphDrawsCurve()
{
    TXYGraph graph;
    graph.resize(320, 200);
    const int curve = graph.AddCurve("Sinus", clLime, 1, psSolid, true);
    for (int x = 0; x <= 10; ++x)
        graph.AddPoint(curve, x, 5);
    graph.Paint();

    const QImage image = graph.grab().toImage();
    int curvePixels = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            curvePixels += image.pixel(x, y) == qRgb(0, 255, 0);
    std::printf("graph: %d curve pixels\n", curvePixels);
    return curvePixels > 0;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const bool serial = PortReportsOpenFailure();
    const bool selector = SelectorShowsPortSetting();
    const bool graph = GraphDrawsCurve();
    return serial && selector && graph ? 0 : 1;
}
