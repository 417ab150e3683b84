#pragma once

#include <string>
#include <utility>
#include <vector>

// How much of the light a sample lets through, against the sensor pixel
// (field number, as the window's x axis counts): a flat share, the
// built-in band-pass filter, or a curve read from a file.
class TTransmission {
public:
    // "P%" (0 to 100), "filter", or a file of lines "pixel,percent" (commas,
    // blanks or tabs between; '#' starts a comment), linearly interpolated
    // and held flat beyond its ends. Raises std::invalid_argument with a
    // message for the operator.
    static TTransmission Parse(const std::string& text, int firstPixel, int lastPixel);

    // The share let through at a pixel, 0 to 1.
    double At(double pixel) const;

private:
    // (pixel, share) in increasing pixel order.
    std::vector<std::pair<double, double>> curve_;
};
