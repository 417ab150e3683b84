#pragma once

#include "graph/Graph.h"

#include <vector>

// The spectrum graph as the acquisition window lays it out: 969 x 361
// pixels, x 0 to 512 and y 0 to 256, 5 x 5 ticks, main grid, titles.
void LoadMainWindowGraphLayout(TXYGraph& graph);

// A synthetic spectrum of `count` points evenly spread over the sensor
// pixels 6 to 512: a sloping baseline, a few emission lines and noise, with
// readings between about 0 and 256.
std::vector<TCurvePoint> SyntheticSpectrum(int count, unsigned seed);
