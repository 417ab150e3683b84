// Times what acquisition does with the spectrum graph -- replace the curve's
// data, then paint -- for our graph (point by point as acquisition adds
// them, and in one call) and for QCustomPlot, alternating, and prints
// "name value unit" lines: medians in milliseconds, the ratios ours /
// QCustomPlot, and the curve-coloured pixel counts that show both drew.

#include "graph/Graph.h"
#include "support/PeerPlot.h"
#include "support/Pixels.h"
#include "support/Timing.h"
#include "synthetic_spectrum/SyntheticSpectrum.h"

#include <QApplication>
#include <QImage>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr TColor CurveColor = 65280;

struct TCase {
    const char* name;
    int points;
    int warmUps;
    int rounds;
};

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);

    TGraphAndPeer sides;
    TXYGraph& graph = sides.Graph;
    TPeerPlot& peer = sides.Peer;
    QApplication::processEvents();

    const TCase cases[] = {{"507", 507, 50, 400}, {"100k", 100000, 10, 100}, {"1m", 1000000, 5, 31}};
    for (const TCase& c : cases) {
        const std::vector<TCurvePoint> points = SyntheticSpectrum(c.points, 1);
        const TPeerData data = PeerDataOf(points);
        const auto ours = [&] {
            graph.DeleteCurve(0);
            const int curve = graph.AddCurve("Sinus", CurveColor, 1, 0, true);
            for (const TCurvePoint& point : points)
                graph.AddPoint(curve, point.X, point.Y);
            graph.Paint();
        };
        // The same with the points handed over in one call, as the peer's are.
        const auto oursBulk = [&] {
            graph.DeleteCurve(0);
            const int curve = graph.AddCurve("Sinus", CurveColor, 1, 0, true);
            graph.AddPoints(curve, points.data(), points.size());
            graph.Paint();
        };
        const auto theirs = [&] { peer.ReplaceAndPaint(data.Keys, data.Values); };

        for (int i = 0; i < c.warmUps; ++i) {
            ours();
            theirs();
            oursBulk();
        }
        std::vector<double> ourTimes;
        std::vector<double> theirTimes;
        std::vector<double> ourBulkTimes;
        for (int i = 0; i < c.rounds; ++i) {
            ourTimes.push_back(Milliseconds(ours));
            theirTimes.push_back(Milliseconds(theirs));
            ourBulkTimes.push_back(Milliseconds(oursBulk));
        }
        const double our = Median(ourTimes);
        const double their = Median(theirTimes);
        const double ourBulk = Median(ourBulkTimes);
        std::printf("paint_%s_ours %.3f ms\n", c.name, our);
        std::printf("paint_%s_ours_bulk %.3f ms\n", c.name, ourBulk);
        std::printf("paint_%s_qcp %.3f ms\n", c.name, their);
        std::printf("paint_%s_ratio %.3f ratio\n", c.name, our / their);
        std::printf("paint_%s_bulk_ratio %.3f ratio\n", c.name, ourBulk / their);
        std::printf("pixels_%s_ours %ld pixels\n", c.name, CountColor(graph.grab().toImage(), 0xFF00FF00));
        std::printf("pixels_%s_qcp %ld pixels\n", c.name, CountColor(peer.Widget()->grab().toImage(), 0xFF00FF00));
        std::fflush(stdout);
    }
    return 0;
}
