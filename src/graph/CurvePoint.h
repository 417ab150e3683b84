#pragma once

// A point as stored: the raw values, without the curve's offsets.
struct TCurvePoint {
    double X = 0.0;
    double Y = 0.0;
};
