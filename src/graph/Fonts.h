#pragma once

#include "graph/Font.h"
#include "graph/Persistent.h"

// The graph's three fonts. Setting one copies every attribute of the given
// font, then notifies.
class TFonts : public TGraphPersistent {
public:
    TFonts();

    void Assign(const TFonts& source);

    const TFont& AxisScale() const { return axisScale_; }
    void SetAxisScale(const TFont& font);
    const TFont& AxisTitle() const { return axisTitle_; }
    void SetAxisTitle(const TFont& font);
    const TFont& GraphTitle() const { return graphTitle_; }
    void SetGraphTitle(const TFont& font);

private:
    TFont axisScale_;
    TFont axisTitle_;
    TFont graphTitle_;
};
