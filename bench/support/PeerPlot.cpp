#include "support/PeerPlot.h"

#include "app/AcquisitionGraphLayout.h"

#include <qcustomplot.h>

namespace {

QFont PixelFont(const char* family, int pixels, bool bold)
{
    QFont font(QString::fromLatin1(family));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

void ConfigureAxis(QCPAxis* axis, double max, const QString& label)
{
    axis->setRange(0, max);
    auto ticker = QSharedPointer<QCPAxisTickerFixed>::create();
    ticker->setTickStep(max / 5);
    ticker->setScaleStrategy(QCPAxisTickerFixed::ssNone);
    ticker->setTickCount(5);
    axis->setTicker(ticker);
    axis->setSubTicks(true);
    axis->setTickLengthIn(0);
    axis->setTickLengthOut(10);
    axis->setSubTickLengthIn(0);
    axis->setSubTickLengthOut(5);
    axis->setNumberFormat(QStringLiteral("f"));
    axis->setNumberPrecision(0);
    axis->setTickLabelFont(PixelFont("small fonts", 12, false));
    axis->setTickLabelColor(QColor(0, 0, 128));
    axis->setLabel(label);
    axis->setLabelFont(PixelFont("arial", 13, true));
    axis->setLabelColor(QColor(128, 0, 0));
    axis->grid()->setVisible(true);
    axis->grid()->setSubGridVisible(false);
    axis->grid()->setPen(QPen(QColor(128, 128, 128), 0));
    axis->grid()->setZeroLinePen(Qt::NoPen);
}

} // namespace

TPeerData PeerDataOf(const std::vector<TCurvePoint>& points)
{
    TPeerData data;
    data.Keys.reserve(qsizetype(points.size()));
    data.Values.reserve(qsizetype(points.size()));
    for (const TCurvePoint& point : points) {
        data.Keys.push_back(point.X);
        data.Values.push_back(point.Y);
    }
    return data;
}

TPeerPlot::TPeerPlot() : plot_(std::make_unique<QCustomPlot>())
{
    QCustomPlot& plot = *plot_;
    plot.setNotAntialiasedElements(QCP::aeAll);
    plot.setBackground(QColor(192, 192, 192));
    plot.axisRect()->setBackground(Qt::black);
    plot.plotLayout()->insertRow(0);
    plot.plotLayout()->addElement(0, 0,
        new QCPTextElement(&plot, QStringLiteral("Spectrogram"), PixelFont("arial", 17, true)));
    ConfigureAxis(plot.xAxis, 512, QStringLiteral("Wellenl\u00e4nge (z.Z. Sensor-Pixel)"));
    ConfigureAxis(plot.yAxis, 256, QStringLiteral("Value"));
    plot.addGraph();
    plot.graph(0)->setPen(QPen(QColor(0, 255, 0), 0));
    plot.resize(969, 361);
    plot.show();
}

TPeerPlot::~TPeerPlot() = default;

QWidget* TPeerPlot::Widget()
{
    return plot_.get();
}

QCustomPlot& TPeerPlot::Plot()
{
    return *plot_;
}

void TPeerPlot::ReplaceAndPaint(const QVector<double>& keys, const QVector<double>& values)
{
    plot_->graph(0)->setData(keys, values, true);
    plot_->replot(QCustomPlot::rpImmediateRefresh);
}

TGraphAndPeer::TGraphAndPeer()
{
    LoadSpectrumGraphSettings(Graph, TGraphPlacement::WindowBounds);
    Graph.show();
}
