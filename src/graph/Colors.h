#pragma once

#include "graph/Color.h"
#include "graph/Persistent.h"

// The graph's colours. Setting one stores it and notifies.
class TColors : public TGraphPersistent {
public:
    void Assign(const TColors& source);

    TColor AxisBkGnd() const { return axisBkGnd_; }
    void SetAxisBkGnd(TColor color) { Store(axisBkGnd_, color); }
    TColor TickColor() const { return tickColor_; }
    void SetTickColor(TColor color) { Store(tickColor_, color); }
    TColor GraphBkGnd() const { return graphBkGnd_; }
    void SetGraphBkGnd(TColor color) { Store(graphBkGnd_, color); }
    TColor MainGridColor() const { return mainGridColor_; }
    void SetMainGridColor(TColor color) { Store(mainGridColor_, color); }
    TColor SubGridColor() const { return subGridColor_; }
    void SetSubGridColor(TColor color) { Store(subGridColor_, color); }

private:
    void Store(TColor& field, TColor color);

    TColor axisBkGnd_ = clSilver;
    TColor tickColor_ = clBlack;
    TColor graphBkGnd_ = clBlack;
    TColor mainGridColor_ = clGray;
    TColor subGridColor_ = clGray;
};
