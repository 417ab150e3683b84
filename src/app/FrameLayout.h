#pragma once

#include <cstdint>

// Where a sensor's readings sit in a frame and what they mean. The default
// is the 507-pixel layout the window was built for: five header fields,
// readings plotted from field 6 to 512, at most 2200 fields, and an output
// that falls with light from a full scale of 256 (the curve shows
// 256 - reading).
//
// Fields 1 to HeaderFields are text only; every later field is a reading.
// Pixels readings from FirstReading on are plotted; readings outside them
// (a sensor's dummy outputs) are converted but not plotted.
struct TFrameLayout {
    // Keeps the tables of a frame bounded, whatever a layout asks for.
    static constexpr int FieldLimit = 100'000;

    int HeaderFields = 5;
    int FirstReading = 6;
    int Pixels = 507;
    int MaxFields = 2200;
    std::int32_t FullScale = 256;
    bool FallingOutput = true;

    int LastReading() const { return FirstReading + Pixels - 1; }
    // The fields fit together: a header of 0 or more fields, readings
    // after it, all within MaxFields, which is within FieldLimit, and a
    // positive full scale.
    bool Valid() const
    {
        return HeaderFields >= 0 && FirstReading > HeaderFields && Pixels >= 1 && MaxFields <= FieldLimit
               && static_cast<long long>(FirstReading) + Pixels - 1 <= MaxFields && FullScale >= 1;
    }
    // The light a reading stands for, 0 (dark) up to FullScale (saturated).
    double Light(double reading) const { return FallingOutput ? FullScale - reading : reading; }

    bool operator==(const TFrameLayout&) const = default;
};
