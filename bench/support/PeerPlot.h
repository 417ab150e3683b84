#pragma once

#include "graph/Curve.h"
#include "graph/XYGraph.h"

#include <QVector>

#include <memory>
#include <vector>

class QCustomPlot;
class QWidget;

// A curve's points as QCustomPlot takes them: keys and values apart.
struct TPeerData {
    QVector<double> Keys;
    QVector<double> Values;
};
TPeerData PeerDataOf(const std::vector<TCurvePoint>& points);

// The spectrum graph's picture built with QCustomPlot: same size, ranges,
// ticks, grid, titles, fonts and colours, one green curve.
class TPeerPlot {
public:
    TPeerPlot();
    ~TPeerPlot();

    QWidget* Widget();
    QCustomPlot& Plot();
    // What acquisition does: replace the curve's data, then draw it and
    // bring the widget up to date at once.
    void ReplaceAndPaint(const QVector<double>& keys, const QVector<double>& values);

private:
    std::unique_ptr<QCustomPlot> plot_;
};

// What a graph benchmark compares: the spectrum graph as the acquisition
// window lays it out and its QCustomPlot peer, both shown.
struct TGraphAndPeer {
    TGraphAndPeer();

    TXYGraph Graph;
    TPeerPlot Peer;
};
