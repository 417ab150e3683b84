#pragma once

#include <functional>
#include <vector>

// The middle value: half the samples lie at or below it.
double Median(std::vector<double> values);
// How long `work` took, in milliseconds.
double Milliseconds(const std::function<void()>& work);
