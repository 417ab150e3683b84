#pragma once

#include <QVector>

#include <memory>

class QCustomPlot;
class QWidget;

// The spectrum graph's picture built with QCustomPlot: same size, ranges,
// ticks, grid, titles, fonts and colours, one green curve.
class TPeerPlot {
public:
    TPeerPlot();
    ~TPeerPlot();

    QWidget* Widget();
    // What acquisition does: replace the curve's data, then draw it and
    // bring the widget up to date at once.
    void ReplaceAndPaint(const QVector<double>& keys, const QVector<double>& values);

private:
    std::unique_ptr<QCustomPlot> plot_;
};
