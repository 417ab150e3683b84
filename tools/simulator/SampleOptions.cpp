#include "simulator/SampleOptions.h"

#include "simulator/OptionNumber.h"
#include "simulator/Transmission.h"

#include <limits>
#include <set>

namespace {
constexpr int MaxPixels = 100'000;
}

bool IsSampleOption(const std::string& option)
{
    static const std::set<std::string, std::less<>> options{"--pixels",       "--full-scale", "--output",
                                                            "--transmission", "--sample-after", "--saturate",
                                                            "--drift"};
    return options.contains(option);
}

void ReadSampleOption(const std::string& option, const std::string& value, TSampleOptions& sample)
{
    if (option == "--pixels") {
        sample.Pixels = OptionNumber(option, value, 1, MaxPixels);
    } else if (option == "--full-scale") {
        sample.FullScale = OptionNumber(option, value, 1, std::numeric_limits<int>::max());
    } else if (option == "--output") {
        if (value != "rising" && value != "falling")
            throw std::invalid_argument("--output takes rising or falling, not '" + value + "'");
        sample.FallingOutput = value == "falling";
    } else if (option == "--transmission") {
        // Checked now, so a bad value is refused before the port exists;
        // built against the final pixel count when the sensor is made.
        TTransmission::Parse(value, 6, 512);
        sample.Transmission = value;
    } else if (option == "--sample-after") {
        sample.SampleAfter = OptionNumber<uint64_t>(option, value, 0, std::numeric_limits<uint64_t>::max());
    } else if (option == "--saturate") {
        sample.Saturate = OptionNumber(option, value, 0, MaxPixels);
    } else {
        if (value != "on" && value != "off")
            throw std::invalid_argument("--drift takes on or off, not '" + value + "'");
        sample.Drift = value == "on";
    }
}

std::string SampleUsage()
{
    return "  --pixels N              readings per frame (sets --fields to N + 5)\n"
           "  --full-scale N          the largest reading (default 255)\n"
           "  --output rising|falling readings rise (default) or fall with light\n"
           "  --transmission T        a lamp continuum through a sample of transmission T:\n"
           "                          P% (flat), filter (band-pass) or a FILE of pixel,percent lines\n"
           "  --sample-after N        the sample enters the beam after N frames with light\n"
           "                          (exposure above 0; default 0: from the start)\n"
           "  --saturate N            N pixels at the strongest line read full scale\n"
           "  --drift on|off          one line's strength swings slowly, for time series\n";
}
