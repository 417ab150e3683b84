#include "graph/Positions.h"

void TPositions::Assign(const TPositions& source)
{
    xAxisLeft_ = source.xAxisLeft_;
    xAxisRight_ = source.xAxisRight_;
    yAxisTop_ = source.yAxisTop_;
    yAxisBottom_ = source.yAxisBottom_;
    titleTop_ = source.titleTop_;
    titleLeft_ = source.titleLeft_;
    xAxisTitle_ = source.xAxisTitle_;
    yAxisTitle_ = source.yAxisTitle_;
    TriggerChange();
}

void TPositions::Store(int& field, int value)
{
    field = value;
    TriggerChange();
}
