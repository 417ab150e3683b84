#include "app/TimeSeriesWindow.h"

#include "app/AcquisitionGraphLayout.h"
#include "app/Measurement.h"
#include "graph/Graph.h"

#include <QCheckBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

// Sets both ends, the one that keeps min < max first.
void SetRange(TAxis& axis, double low, double high)
{
    if (low >= axis.Max()) {
        axis.SetMax(high);
        axis.SetMin(low);
    } else {
        axis.SetMin(low);
        axis.SetMax(high);
    }
}

} // namespace

TTimeSeriesWindow::TTimeSeriesWindow(TMeasurement& measurement, QWidget* parent)
    : QWidget(parent, Qt::Window), measurement_(measurement)
{
    setWindowTitle(QStringLiteral("Time Series"));
    resize(900, 360);
    auto* layout = new QVBoxLayout(this);
    graph_ = new TXYGraph(this);
    LoadSpectrumGraphSettings(*graph_, TGraphPlacement::KeepBounds);
    graph_->BeginLoading();
    graph_->SetGraphTitle("Time Series");
    graph_->XAxis().SetTitle("Time (s)");
    graph_->XAxis().SetMax(Span);
    graph_->YAxis().SetTitle(ModeInfo(measurement_.Mode()).AxisTitle);
    graph_->YAxis().SetDecimals(2);
    graph_->Loaded();
    layout->addWidget(graph_, 1);
    follow_ = new QCheckBox(QStringLiteral("Follow"), this);
    follow_->setChecked(true);
    layout->addWidget(follow_);
    // A drag or zoom on the chart stops the following, so the view stays
    // where the operator put it.
    graph_->OnMouseDown = [this](TXYGraph*, TMouseButton, TShiftState, int, int) { follow_->setChecked(false); };
    timer_.setInterval(RefreshInterval);
    connect(&timer_, &QTimer::timeout, this, &TTimeSeriesWindow::Refresh);
    timer_.start();
}

void TTimeSeriesWindow::Refresh()
{
    if (!isVisible())
        return;
    const TTimeSeries& series = measurement_.Series();
    TXYGraph& graph = *graph_;
    const double newest = series.Entries().empty() ? 0.0 : series.Entries().back().Time;
    double from = graph.XAxis().Min();
    double to = graph.XAxis().Max();
    if (follow_->isChecked()) {
        to = std::max(newest, Span);
        from = to - Span;
    }
    while (graph.CurveCount() > 0)
        graph.DeleteCurve(0);
    double low = INFINITY;
    double high = -INFINITY;
    for (std::size_t band = 0; band < series.Bands().size(); ++band) {
        const TBand& tracked = series.Bands()[band];
        const std::string name = "x " + std::to_string(int(std::lround(tracked.Centre)));
        const int curve = graph.AddCurve(name, TMeasurement::OverlayColors[band], 1, psSolid, true);
        for (const auto& [time, value] : series.Decimated(band, from, to, PointsPerBand)) {
            graph.AddPoint(curve, time, value);
            low = std::min(low, value);
            high = std::max(high, value);
        }
    }
    if (follow_->isChecked()) {
        graph.BeginLoading();
        SetRange(graph.XAxis(), from, to);
        if (low < high) {
            const double margin = (high - low) * 0.1;
            SetRange(graph.YAxis(), low - margin, high + margin);
        } else if (low == high) {
            SetRange(graph.YAxis(), low - 1, high + 1);
        }
        graph.Loaded();
    }
    graph.Paint();
}
