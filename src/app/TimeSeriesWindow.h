#pragma once

#include <QTimer>
#include <QWidget>

class QCheckBox;
class TMeasurement;
class TXYGraph;

// The tracked bands against time, a strip chart on the window's own graph:
// refreshed a few times a second from the bounded history, each band
// thinned to at most PointsPerBand points of the time span shown. With
// "Follow" ticked the chart shows the newest Span seconds; unticked, it
// keeps the span the operator panned or zoomed to.
class TTimeSeriesWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int RefreshInterval = 100; // ms
    static constexpr double Span = 60.0;        // s
    static constexpr std::size_t PointsPerBand = 2000;

    TTimeSeriesWindow(TMeasurement& measurement, QWidget* parent);

    TXYGraph& Graph() const { return *graph_; }
    QCheckBox& Follow() const { return *follow_; }
    // Draws the history now.
    void Refresh();

private:
    TMeasurement& measurement_;
    TXYGraph* graph_;
    QCheckBox* follow_;
    QTimer timer_;
};
