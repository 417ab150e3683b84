#include "graph/Colors.h"

void TColors::Assign(const TColors& source)
{
    axisBkGnd_ = source.axisBkGnd_;
    tickColor_ = source.tickColor_;
    graphBkGnd_ = source.graphBkGnd_;
    mainGridColor_ = source.mainGridColor_;
    subGridColor_ = source.subGridColor_;
    TriggerChange();
}

void TColors::Store(TColor& field, TColor color)
{
    field = color;
    TriggerChange();
}
