#pragma once

#include "simulator/LinePacer.h"

#include <vector>

// What the window benchmarks measure with, and how they print it.

double Seconds(TClock::duration duration);
// CPU time of the whole process (all threads) so far.
double ProcessCpuSeconds();
// The value below which the given share (0.5 for the median) of values lie.
double Percentile(std::vector<double> values, double fraction);
// One "name value unit" line.
void Print(const char* name, double value, const char* unit);
