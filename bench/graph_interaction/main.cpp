// Times one step of the mouse interaction on the spectrum graph, delivered
// as the operator's mouse delivers it, for one curve of 507, 100,000 and
// 1,000,000 points:
// - a pan step: one move event of a left drag, until the new picture is on
//   the widget; for our graph and for QCustomPlot with range dragging on;
// - a zoom step: ours one move event of a right drag, QCustomPlot one wheel
//   step of its range zoom, likewise until painted;
// - ours alone, a hover pick: one plain move in move mode over the curve
//   (the hit test, the read-outs on attached labels, the cursor mark's
//   8 x 8 save-under).
// Ours and QCustomPlot take turns step by step. Prints "name value unit"
// lines: medians in milliseconds after a warm-up, the ratios ours /
// QCustomPlot, and the curve-coloured pixels of both pictures after the
// timed runs, which show that both drew the curve.

#include "graph/Graph.h"
#include "support/PeerPlot.h"
#include "support/Pixels.h"
#include "support/Timing.h"
#include "synthetic_spectrum/SyntheticSpectrum.h"

#include <qcustomplot.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMouseEvent>
#include <QWheelEvent>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

constexpr TColor CurveColor = 65280;
constexpr QRgb CurvePixel = 0xFF00FF00;
// A drag's move events come a few pixels apart; each step goes out and the
// next one back, so the view stays where it started.
constexpr QPoint PanMotion(10, 5);
constexpr QPoint ZoomMotion(1, 0);
constexpr int WheelStep = 120;
constexpr qint64 ReplotTimeoutMs = 5000;

struct TCase {
    const char* Name;
    int Points;
    int WarmUps;
    int Rounds;
};

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "graph_interaction: %s\n", what);
    std::exit(1);
}

// Counts the paint events a widget receives.
class TPaintCounter : public QObject {
public:
    explicit TPaintCounter(QWidget& widget) { widget.installEventFilter(this); }
    int Count() const { return count_; }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        count_ += event->type() == QEvent::Paint;
        return false;
    }

private:
    int count_ = 0;
};

void SendMouse(QWidget& widget, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent event(type, at, widget.mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

void SendWheel(QWidget& widget, QPoint at, int delta)
{
    QWheelEvent event(at, widget.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&widget, &event);
}

// QCustomPlot answers a drag or wheel step with a queued replot; the step
// is complete once that has run and painted the widget.
void AwaitPaint(const TPaintCounter& paints, int before)
{
    QElapsedTimer waited;
    waited.start();
    while (paints.Count() == before) {
        QCoreApplication::processEvents();
        if (waited.elapsed() > ReplotTimeoutMs)
            Fail("QCustomPlot did not repaint after a step");
    }
}

struct TTimes {
    double Ours = 0.0;
    double Theirs = 0.0;
};

struct TSteps {
    std::function<void()> Ours = {};
    // Counts our paints, when every step of ours must paint.
    const TPaintCounter* OurPaints = nullptr;
    std::function<void()> Theirs = {};
    // Untimed, after each round.
    std::function<void()> Settle = {};
};

// Runs ours and theirs by turns, the warm-up untimed; the medians.
TTimes Alternate(const TCase& c, const TSteps& steps)
{
    std::vector<double> ourTimes;
    std::vector<double> theirTimes;
    const TPaintCounter* ourPaints = steps.OurPaints;
    for (int i = 0; i < c.WarmUps + c.Rounds; ++i) {
        const int oursBefore = ourPaints ? ourPaints->Count() : 0;
        const double our = Milliseconds(steps.Ours);
        if (ourPaints && ourPaints->Count() == oursBefore)
            Fail("our graph did not repaint at a step");
        const double their = steps.Theirs ? Milliseconds(steps.Theirs) : 0.0;
        if (steps.Settle)
            steps.Settle();
        if (i < c.WarmUps)
            continue;
        ourTimes.push_back(our);
        theirTimes.push_back(their);
    }
    return {Median(ourTimes), Median(theirTimes)};
}

void Print(const char* step, const TCase& c, const TTimes& times, TXYGraph& graph, QWidget& peer)
{
    std::printf("%s_step_ms_%s %.3f ms\n", step, c.Name, times.Ours);
    std::printf("%s_step_qcp_ms_%s %.3f ms\n", step, c.Name, times.Theirs);
    std::printf("%s_step_ratio_%s %.3f ratio\n", step, c.Name, times.Ours / times.Theirs);
    std::printf("pixels_%s_%s_ours %ld pixels\n", step, c.Name, CountColor(graph.grab().toImage(), CurvePixel));
    std::printf("pixels_%s_%s_qcp %ld pixels\n", step, c.Name, CountColor(peer.grab().toImage(), CurvePixel));
    std::fflush(stdout);
}

// The control pixel of the curve's point nearest to x.
QPoint PixelOfPointNear(const TXYGraph& graph, double x)
{
    const TCurve& curve = *graph.Curve(0);
    const auto count = int(curve.Points.size());
    const int index = std::clamp(int((x - 6.0) / 506.0 * (count - 1) + 0.5), 0, count - 1);
    const TCurvePoint& point = curve.Points[std::size_t(index)];
    return {graph.XToPixel(point.X), graph.YToPixel(point.Y)};
}

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);

    TGraphAndPeer sides;
    TXYGraph& graph = sides.Graph;
    const TPaintCounter ourPaints(graph);
    QCustomPlot& plot = sides.Peer.Plot();
    plot.setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    // Its queued replot then paints at once, as ours does.
    plot.setPlottingHint(QCP::phImmediateRefresh, true);
    const TPaintCounter theirPaints(plot);

    // The read-outs of the hover pick, in a window of their own.
    QWidget readouts;
    std::array<QLabel*, 7> outputs{};
    for (std::size_t i = 0; i < outputs.size(); ++i)
        outputs[i] = new QLabel(&readouts);
    readouts.show();
    QApplication::processEvents();

    const QPoint ourCentre(graph.XToPixel(256), graph.YToPixel(128));
    const QPoint theirCentre = plot.axisRect()->rect().center();
    // A move out by `motion` and, the next time, back, with `held` down.
    bool ourOut = false;
    const auto ourMove = [&](QPoint motion, Qt::MouseButton held) {
        return [&, motion, held] {
            ourOut = !ourOut;
            SendMouse(graph, QEvent::MouseMove, ourCentre + (ourOut ? motion : QPoint()), Qt::NoButton, held);
        };
    };
    bool theirOut = false;
    const auto theirStep = [&](const std::function<void(bool out)>& send) {
        return [&, send] {
            theirOut = !theirOut;
            const int before = theirPaints.Count();
            send(theirOut);
            AwaitPaint(theirPaints, before);
        };
    };

    const TCase cases[] = {{"507", 507, 50, 400}, {"100k", 100000, 10, 100}, {"1m", 1000000, 5, 41}};
    for (const TCase& c : cases) {
        const std::vector<TCurvePoint> points = SyntheticSpectrum(c.Points, 1);
        const TPeerData data = PeerDataOf(points);
        graph.DeleteCurve(0);
        graph.AddPoints(graph.AddCurve("Sinus", CurveColor, 1, psSolid, true), points.data(), points.size());
        graph.ResetAxes();
        plot.graph(0)->setData(data.Keys, data.Values, true);
        plot.xAxis->setRange(0, 512);
        plot.yAxis->setRange(0, 256);
        plot.replot(QCustomPlot::rpImmediateRefresh);

        ourOut = false;
        theirOut = false;
        SendMouse(graph, QEvent::MouseButtonPress, ourCentre, Qt::LeftButton, Qt::LeftButton);
        SendMouse(plot, QEvent::MouseButtonPress, theirCentre, Qt::LeftButton, Qt::LeftButton);
        const TTimes pan = Alternate(c, {.Ours = ourMove(PanMotion, Qt::LeftButton),
                                         .OurPaints = &ourPaints,
                                         .Theirs = theirStep([&](bool out) {
                                             SendMouse(plot, QEvent::MouseMove, theirCentre + (out ? PanMotion : QPoint()),
                                                       Qt::NoButton, Qt::LeftButton);
                                         })});
        SendMouse(graph, QEvent::MouseButtonRelease, ourCentre, Qt::LeftButton, Qt::NoButton);
        SendMouse(plot, QEvent::MouseButtonRelease, theirCentre, Qt::LeftButton, Qt::NoButton);
        Print("pan", c, pan, graph, plot);

        // The right press glides the view centre to the pressed point first.
        ourOut = false;
        theirOut = false;
        SendMouse(graph, QEvent::MouseButtonPress, ourCentre, Qt::RightButton, Qt::RightButton);
        const TTimes zoom = Alternate(
            c, {.Ours = ourMove(ZoomMotion, Qt::RightButton),
                .OurPaints = &ourPaints,
                .Theirs = theirStep([&](bool out) { SendWheel(plot, theirCentre, out ? WheelStep : -WheelStep); }),
                // A step in and one out leave our span 0.3 % smaller: back
                // to the start after each pair, so that the runs do not drift
                // in. QCustomPlot's steps cancel exactly.
                .Settle =
                    [&] {
                        if (!ourOut)
                            graph.ResetAxes();
                    }});
        SendMouse(graph, QEvent::MouseButtonRelease, ourCentre, Qt::RightButton, Qt::NoButton);
        Print("zoom", c, zoom, graph, plot);

        // Two points far apart take turns under the mouse, so that every
        // move picks anew and writes every read-out.
        graph.ResetAxes();
        graph.SetMouseMode(mmMove);
        for (std::size_t i = 0; i < outputs.size(); ++i)
            graph.Controls().SetOutput(int(i), outputs[i]);
        const QPoint targets[] = {PixelOfPointNear(graph, 88), PixelOfPointNear(graph, 254)};
        bool second = false;
        const TTimes hover = Alternate(c, {.Ours = [&] {
                                               second = !second;
                                               SendMouse(graph, QEvent::MouseMove, targets[second], Qt::NoButton,
                                                         Qt::NoButton);
                                           }});
        if (!graph.CursorShown() || outputs[3]->text() != QStringLiteral("Sinus"))
            Fail("the hover did not pick a point");
        std::printf("hover_pick_ms_%s %.4f ms\n", c.Name, hover.Ours);
        std::fflush(stdout);
        for (std::size_t i = 0; i < outputs.size(); ++i)
            graph.Controls().SetOutput(int(i), nullptr);
        graph.RestoreCursorBackground();
        graph.SetCursorShown(false);
        graph.SetMouseMode(mmNone);
    }
    return 0;
}
