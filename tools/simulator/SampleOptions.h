#pragma once

#include <cstdint>
#include <string>

// The simulated sensor's size and range, and what lies in its beam.
struct TSampleOptions {
    int Pixels = 0;          // 0: as many as --fields leaves after the header
    int FullScale = 255;     // the largest reading
    bool FallingOutput = false; // readings fall with light, as a CCD's do
    // With a transmission (TTransmission::Parse's text) the source is a
    // smooth lamp continuum, and the sample enters the beam after
    // SampleAfter frames with light.
    std::string Transmission;
    uint64_t SampleAfter = 0;
    int Saturate = 0; // pixels at full scale around the strongest line
    bool Drift = false; // one line's strength swings slowly, for time series
};

bool IsSampleOption(const std::string& option);
// Raises std::invalid_argument with a message for the operator.
void ReadSampleOption(const std::string& option, const std::string& value, TSampleOptions& sample);
std::string SampleUsage();
