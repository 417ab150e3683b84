#pragma once

#include "app/FrameLayout.h"

#include <string>
#include <vector>

// The sensors the window knows by name, and the text form a layout is kept
// in among the user's settings.
struct TSensorPreset {
    std::string Name;
    TFrameLayout Layout;
};

// The 507-pixel layout first (the default), then 128 (TSL1401), 2048
// (ILX511, ILX554, S11639) and 3648 pixels (TCD1304).
const std::vector<TSensorPreset>& SensorPresets();

// The preset a layout is, or "Custom".
std::string SensorLayoutName(const TFrameLayout& layout);

// "header=5 first=6 pixels=507 fields=2200 full=256 output=falling".
std::string SensorLayoutText(const TFrameLayout& layout);

// The text form back, every key once, in any order; a text that is not one,
// or a layout that does not fit (TFrameLayout::Valid), raises ESpectrum
// naming what is wrong.
TFrameLayout ParseSensorLayout(const std::string& text);
