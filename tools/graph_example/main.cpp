// Shows the spectrum graph as the acquisition window lays it out, with a
// synthetic spectrum that is replaced ten times a second the way frames
// arrive from the spectrometer.
//
//   graph_example                      run until the window is closed
//   graph_example --screenshot FILE    save the window to FILE after two
//                                      seconds, then quit

#include "app/SpectrumGraphLayout.h"
#include "common/Application.h"
#include "graph/Graph.h"
#include "synthetic_spectrum/SyntheticSpectrum.h"

#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstring>

namespace {

constexpr int FrameIntervalMs = 100;
constexpr int ScreenshotDelayMs = 2000;
constexpr int Margin = 8;

void ShowFrame(TXYGraph& graph, unsigned frame)
{
    graph.DeleteCurve(0);
    const int curve = graph.AddCurve("Sinus", clLime, 1, psSolid, true);
    for (const TCurvePoint& point : SyntheticSpectrum(507, frame))
        graph.AddPoint(curve, point.X, point.Y);
    graph.Paint();
}

} // namespace

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
    TApplication::SetTitle(QStringLiteral("Mirelda graph example"));
    const char* screenshot = argc == 3 && std::strcmp(argv[1], "--screenshot") == 0 ? argv[2] : nullptr;
    if (argc > 1 && !screenshot) {
        std::fprintf(stderr, "usage: %s [--screenshot FILE]\n", argv[0]);
        return 2;
    }

    QWidget window;
    window.setWindowTitle(TApplication::Title());
    TXYGraph graph(&window);
    LoadSpectrumGraphSettings(graph, TGraphPlacement::WindowBounds);
    graph.SetBounds(Margin, Margin, graph.width(), graph.height());
    window.setFixedSize(graph.width() + 2 * Margin, graph.height() + 2 * Margin);
    window.show();

    unsigned frame = 0;
    ShowFrame(graph, frame);
    QTimer frames;
    QObject::connect(&frames, &QTimer::timeout, [&] { ShowFrame(graph, ++frame); });
    frames.start(FrameIntervalMs);

    int status = 0;
    if (screenshot) {
        QTimer::singleShot(ScreenshotDelayMs, [&] {
            if (!window.grab().save(QString::fromLocal8Bit(screenshot))) {
                std::fprintf(stderr, "graph_example: cannot write %s\n", screenshot);
                status = 1;
            }
            app.quit();
        });
    }
    const int loopStatus = app.exec();
    return status != 0 ? status : loopStatus;
}
