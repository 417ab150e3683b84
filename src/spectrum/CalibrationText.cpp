#include "spectrum/CalibrationText.h"

#include "spectrum/DecimalNumbers.h"
#include "spectrum/SpectrumErrors.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <map>
#include <optional>
#include <vector>

namespace {

std::string Lower(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

double Number(std::string_view name, std::string_view text)
{
    const std::optional<double> value = ParseDecimal(text);
    if (!value)
        throw ESpectrum("The calibration's " + std::string(name) + " \"" + std::string(TrimmedText(text).substr(0, 40))
                        + "\" is not a number");
    return *value;
}

int Order(std::string_view text)
{
    const std::string_view order = TrimmedText(text);
    if (order.size() != 1 || order[0] < '1' || order[0] > '3')
        throw ESpectrum("The calibration's order must be 1, 2 or 3, not \"" + std::string(order.substr(0, 40)) + '"');
    return order[0] - '0';
}

// Entries by lower-case name, each at most once.
using TEntries = std::map<std::string, std::string, std::less<>>;

void AddEntry(TEntries& entries, std::string_view name, std::string_view value)
{
    const std::string key = Lower(TrimmedText(name));
    if (!entries.emplace(key, std::string(TrimmedText(value))).second)
        throw ESpectrum("The calibration names \"" + key.substr(0, 40) + "\" twice");
}

TWavelengthCalibration Build(TEntries& entries, const std::vector<std::string>& coefficientNames)
{
    const auto take = [&entries](const std::string& name) -> std::optional<std::string> {
        const auto found = entries.find(name);
        if (found == entries.end())
            return std::nullopt;
        std::string value = found->second;
        entries.erase(found);
        return value;
    };
    const std::optional<std::string> orderText = take("order");
    if (!orderText)
        throw ESpectrum("The calibration does not say its order");
    const int order = Order(*orderText);
    std::vector<double> coefficients;
    for (int k = 0; k <= order; ++k) {
        const std::optional<std::string> text = take(coefficientNames[static_cast<size_t>(k)]);
        if (!text)
            throw ESpectrum("The calibration of order " + std::to_string(order) + " lacks its coefficient "
                            + coefficientNames[static_cast<size_t>(k)]);
        coefficients.push_back(Number(coefficientNames[static_cast<size_t>(k)], *text));
    }
    double rms = std::numeric_limits<double>::quiet_NaN();
    if (const std::optional<std::string> text = take("rms"))
        rms = Number("rms", *text);
    if (!entries.empty())
        throw ESpectrum("The calibration has an entry \"" + entries.begin()->first.substr(0, 40)
                        + "\" it should not have");
    return TWavelengthCalibration(std::move(coefficients), rms);
}

} // namespace

std::string CalibrationFileText(const TWavelengthCalibration& calibration)
{
    std::string text = "# Mirelda wavelength calibration: wavelength (nm) = a0 + a1 p + a2 p^2 + a3 p^3,\n"
                       "# p the pixel (field number of the frame)\n";
    text += "order: " + std::to_string(calibration.Order()) + '\n';
    for (size_t k = 0; k < calibration.Coefficients().size(); ++k)
        text += 'a' + std::to_string(k) + ": " + DecimalText(calibration.Coefficients()[k]) + '\n';
    if (std::isfinite(calibration.Rms()))
        text += "rms: " + DecimalText(calibration.Rms()) + '\n';
    return text;
}

std::string CalibrationStoredText(const TWavelengthCalibration& calibration)
{
    std::string text = "order=" + std::to_string(calibration.Order()) + ";a=";
    for (size_t k = 0; k < calibration.Coefficients().size(); ++k)
        text += (k ? "," : "") + DecimalText(calibration.Coefficients()[k]);
    if (std::isfinite(calibration.Rms()))
        text += ";rms=" + DecimalText(calibration.Rms());
    return text;
}

TWavelengthCalibration ParseCalibrationFile(std::string_view text)
{
    TEntries entries;
    while (!text.empty()) {
        const size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = TrimmedText(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        if (line.empty() || line.front() == '#')
            continue;
        const size_t colon = line.find(':');
        if (colon == std::string_view::npos)
            throw ESpectrum("The calibration file has a line without \"name: value\": \""
                            + std::string(line.substr(0, 40)) + '"');
        AddEntry(entries, line.substr(0, colon), line.substr(colon + 1));
    }
    return Build(entries, {"a0", "a1", "a2", "a3"});
}

TWavelengthCalibration ParseCalibrationStored(std::string_view text)
{
    TEntries entries;
    while (!text.empty()) {
        const size_t end = std::min(text.find(';'), text.size());
        const std::string_view item = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        const size_t equals = item.find('=');
        if (equals == std::string_view::npos)
            throw ESpectrum("The stored calibration is damaged: \"" + std::string(item.substr(0, 40)) + '"');
        if (Lower(TrimmedText(item.substr(0, equals))) != "a") {
            AddEntry(entries, item.substr(0, equals), item.substr(equals + 1));
            continue;
        }
        std::string_view list = item.substr(equals + 1);
        for (int k = 0; !list.empty() || k == 0; ++k) {
            const size_t comma = std::min(list.find(','), list.size());
            AddEntry(entries, 'a' + std::to_string(k), list.substr(0, comma));
            list.remove_prefix(std::min(comma + 1, list.size()));
        }
    }
    return Build(entries, {"a0", "a1", "a2", "a3"});
}
