#include "simulator/Transmission.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

double Percent(const std::string& text, const std::string& what)
{
    double value = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size() || !(value >= 0.0)
        || value > 100.0)
        throw std::invalid_argument("--transmission " + what + " needs a percentage from 0 to 100, not '" + text + "'");
    return value / 100.0;
}

} // namespace

TTransmission TTransmission::Parse(const std::string& text, int firstPixel, int lastPixel)
{
    TTransmission transmission;
    if (text.ends_with('%')) {
        transmission.curve_ = {{0.0, Percent(text.substr(0, text.size() - 1), "")}};
        return transmission;
    }
    if (text == "filter") {
        // A band-pass filter: 80 % at the middle of the sensor, a smooth
        // edge on either side, 5 % blocking far out.
        const double centre = (firstPixel + lastPixel) / 2.0;
        const double width = (lastPixel - firstPixel) / 10.0;
        for (int pixel = firstPixel; pixel <= lastPixel; ++pixel) {
            const double offset = (pixel - centre) / width;
            transmission.curve_.emplace_back(pixel, 0.05 + 0.75 * std::exp(-0.5 * offset * offset));
        }
        return transmission;
    }
    std::ifstream file(text);
    if (!file)
        throw std::invalid_argument("--transmission takes P%, filter or a readable file, not '" + text + "'");
    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
        line = line.substr(0, line.find('#'));
        std::replace_if(line.begin(), line.end(), [](char c) { return c == ',' || c == '\t' || c == '\r'; }, ' ');
        std::istringstream words(line);
        std::string pixel, percent, rest;
        if (!(words >> pixel))
            continue;
        const std::string where = "line " + std::to_string(number) + " of " + text;
        double x = 0.0;
        const auto parsed = std::from_chars(pixel.data(), pixel.data() + pixel.size(), x);
        if (!(words >> percent) || (words >> rest) || parsed.ec != std::errc()
            || parsed.ptr != pixel.data() + pixel.size())
            throw std::invalid_argument("--transmission: " + where + " is not 'pixel,percent'");
        transmission.curve_.emplace_back(x, Percent(percent, "at " + where));
    }
    if (transmission.curve_.empty())
        throw std::invalid_argument("--transmission: " + text + " holds no 'pixel,percent' line");
    std::stable_sort(transmission.curve_.begin(), transmission.curve_.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    return transmission;
}

double TTransmission::At(double pixel) const
{
    const auto after = std::lower_bound(curve_.begin(), curve_.end(), pixel,
                                        [](const auto& point, double x) { return point.first < x; });
    if (after == curve_.begin())
        return curve_.front().second;
    if (after == curve_.end())
        return curve_.back().second;
    const auto before = after - 1;
    const double t = (pixel - before->first) / (after->first - before->first);
    return before->second + t * (after->second - before->second);
}
