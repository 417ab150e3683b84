#pragma once

#include "graph/Persistent.h"

// The graph's layout in pixels: the margins around the plot area and where
// the titles go. Setting a value stores it and notifies, also when it is
// unchanged.
class TPositions : public TGraphPersistent {
public:
    void Assign(const TPositions& source);

    int XAxisLeft() const { return xAxisLeft_; }
    void SetXAxisLeft(int value) { Store(xAxisLeft_, value); }
    int XAxisRight() const { return xAxisRight_; }
    void SetXAxisRight(int value) { Store(xAxisRight_, value); }
    int YAxisTop() const { return yAxisTop_; }
    void SetYAxisTop(int value) { Store(yAxisTop_, value); }
    int YAxisBottom() const { return yAxisBottom_; }
    void SetYAxisBottom(int value) { Store(yAxisBottom_, value); }
    // Top of the graph title.
    int TitleTop() const { return titleTop_; }
    void SetTitleTop(int value) { Store(titleTop_, value); }
    // Left edge of the graph title; 0 centres it.
    int TitleLeft() const { return titleLeft_; }
    void SetTitleLeft(int value) { Store(titleLeft_, value); }
    // Distance of the X axis title's top from the bottom edge.
    int XAxisTitle() const { return xAxisTitle_; }
    void SetXAxisTitle(int value) { Store(xAxisTitle_, value); }
    // Column of the turned Y axis title.
    int YAxisTitle() const { return yAxisTitle_; }
    void SetYAxisTitle(int value) { Store(yAxisTitle_, value); }

private:
    void Store(int& field, int value);

    int xAxisLeft_ = 60;
    int xAxisRight_ = 15;
    int yAxisTop_ = 30;
    int yAxisBottom_ = 50;
    int titleTop_ = 5;
    int titleLeft_ = 0;
    int xAxisTitle_ = 20;
    int yAxisTitle_ = 5;
};
