#include "spectrum/SensorLayout.h"

#include "spectrum/SpectrumErrors.h"

#include <charconv>
#include <map>
#include <sstream>

namespace {

TFrameLayout Layout(int pixels, int maxFields, std::int32_t fullScale, bool falling)
{
    TFrameLayout layout;
    layout.Pixels = pixels;
    layout.MaxFields = maxFields;
    layout.FullScale = fullScale;
    layout.FallingOutput = falling;
    return layout;
}

int Number(const std::string& key, const std::string& value)
{
    int number = 0;
    const auto result = std::from_chars(value.data(), value.data() + value.size(), number);
    if (value.empty() || result.ec != std::errc() || result.ptr != value.data() + value.size())
        throw ESpectrum("The sensor layout's " + key + " is not a whole number: '" + value + "'");
    return number;
}

} // namespace

const std::vector<TSensorPreset>& SensorPresets()
{
    // 12-bit converters are what these sensors are mostly read with; the
    // CCDs' output falls with light, the CMOS sensors' rises.
    static const std::vector<TSensorPreset> presets{
        {"507 pixels", TFrameLayout{}},
        {"128 pixels (TSL1401)", Layout(128, 2200, 4095, false)},
        {"2048 pixels (ILX511, ILX554, S11639)", Layout(2048, 2200, 4095, true)},
        {"3648 pixels (TCD1304)", Layout(3648, 4096, 4095, true)},
    };
    return presets;
}

std::string SensorLayoutName(const TFrameLayout& layout)
{
    for (const TSensorPreset& preset : SensorPresets())
        if (preset.Layout == layout)
            return preset.Name;
    return "Custom";
}

std::string SensorLayoutText(const TFrameLayout& layout)
{
    std::ostringstream text;
    text << "header=" << layout.HeaderFields << " first=" << layout.FirstReading << " pixels=" << layout.Pixels
         << " fields=" << layout.MaxFields << " full=" << layout.FullScale
         << " output=" << (layout.FallingOutput ? "falling" : "rising");
    return text.str();
}

TFrameLayout ParseSensorLayout(const std::string& text)
{
    std::map<std::string, std::string> values;
    std::istringstream words(text);
    for (std::string word; words >> word;) {
        const size_t equals = word.find('=');
        const std::string key = word.substr(0, equals);
        if (equals == std::string::npos || !values.emplace(key, word.substr(equals + 1)).second)
            throw ESpectrum("The sensor layout has '" + word + "' where one key=value of each key belongs");
    }
    TFrameLayout layout;
    const auto take = [&values](const std::string& key) {
        const auto found = values.find(key);
        if (found == values.end())
            throw ESpectrum("The sensor layout lacks its " + key);
        std::string value = found->second;
        values.erase(found);
        return value;
    };
    layout.HeaderFields = Number("header", take("header"));
    layout.FirstReading = Number("first", take("first"));
    layout.Pixels = Number("pixels", take("pixels"));
    layout.MaxFields = Number("fields", take("fields"));
    layout.FullScale = Number("full", take("full"));
    const std::string output = take("output");
    if (output != "falling" && output != "rising")
        throw ESpectrum("The sensor layout's output is falling or rising, not '" + output + "'");
    layout.FallingOutput = output == "falling";
    if (!values.empty())
        throw ESpectrum("The sensor layout has an unknown key '" + values.begin()->first + "'");
    if (!layout.Valid())
        throw ESpectrum("The sensor layout does not fit in a frame: " + SensorLayoutText(layout));
    return layout;
}
