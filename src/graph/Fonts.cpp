#include "graph/Fonts.h"

TFonts::TFonts()
    : axisScale_("small fonts", 7, clNavy),
      axisTitle_("arial", 8, clMaroon, {fsBold}),
      graphTitle_("arial", 10, clMaroon, {fsBold})
{
}

void TFonts::Assign(const TFonts& source)
{
    axisScale_ = source.axisScale_;
    axisTitle_ = source.axisTitle_;
    graphTitle_ = source.graphTitle_;
    TriggerChange();
}

void TFonts::SetAxisScale(const TFont& font)
{
    axisScale_ = font;
    TriggerChange();
}

void TFonts::SetAxisTitle(const TFont& font)
{
    axisTitle_ = font;
    TriggerChange();
}

void TFonts::SetGraphTitle(const TFont& font)
{
    graphTitle_ = font;
    TriggerChange();
}
