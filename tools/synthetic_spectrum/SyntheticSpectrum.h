#pragma once

#include "graph/Curve.h"

#include <vector>

// A synthetic spectrum of `count` points evenly spread over the sensor
// pixels 6 to 512: a sloping baseline, a few emission lines and noise, with
// readings between about 0 and 256. The same seed gives the same points.
std::vector<TCurvePoint> SyntheticSpectrum(int count, unsigned seed);
