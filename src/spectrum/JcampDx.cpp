#include "spectrum/JcampDx.h"

#include "spectrum/DecimalNumbers.h"
#include "spectrum/SpectrumErrors.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <optional>

namespace {

constexpr size_t MaxLine = 80;

std::string Printable(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 32 || c == 127)
            c = ' ';
    return out;
}

// "##NAME=value", wrapped into continuation lines of at most 80 characters.
void AddRecord(std::string& text, std::string_view name, std::string_view value)
{
    std::string line = "##" + std::string(name) + '=' + Printable(value);
    text += line.substr(0, MaxLine) + '\n';
    for (size_t at = MaxLine; at < line.size(); at += MaxLine - 1)
        text += ' ' + line.substr(at, MaxLine - 1) + '\n';
}

std::string Upper(std::string_view text)
{
    std::string out;
    for (const char c : text)
        if (c != ' ' && c != '-' && c != '_' && c != '/')
            out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

struct TRecord {
    std::string Name; // as written
    std::string Key;  // upper case, without blanks, dashes, underscores and slashes
    std::string Value;
};

// The labelled records with their continuation lines and without "$$"
// comments.
std::vector<TRecord> Records(std::string_view text)
{
    std::vector<TRecord> records;
    while (!text.empty()) {
        const size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (const size_t comment = line.find("$$"); comment != std::string_view::npos)
            line = line.substr(0, comment);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.starts_with("##")) {
            const size_t equals = line.find('=');
            if (equals == std::string_view::npos)
                throw ESpectrum("The JCAMP-DX line \"" + std::string(line.substr(0, 40)) + "\" has no '='");
            const std::string_view name = line.substr(2, equals - 2);
            records.push_back({std::string(TrimmedText(name)), Upper(name), std::string(line.substr(equals + 1))});
        } else if (!records.empty()) {
            // A continuation: one leading blank is ours, the rest is data.
            if (!line.empty() && line.front() == ' ')
                line.remove_prefix(1);
            records.back().Value += (records.back().Key == "XYPOINTS" || records.back().Key == "PEAKTABLE")
                                        ? '\n' + std::string(line)
                                        : std::string(line);
        }
    }
    return records;
}

double Number(std::string_view what, std::string_view text)
{
    const std::optional<double> value = ParseDecimal(text);
    if (!value)
        throw ESpectrum("The JCAMP-DX " + std::string(what) + " \"" + std::string(TrimmedText(text).substr(0, 40))
                        + "\" is not a number");
    return *value;
}

void ReadPoints(std::string_view data, double xFactor, double yFactor, TJcampSpectrum& spectrum)
{
    const size_t open = data.find('\n');
    if (open == std::string_view::npos || Upper(TrimmedText(data.substr(0, open))) != "(XY..XY)")
        throw ESpectrum("Only JCAMP-DX data in the form (XY..XY) is read");
    std::vector<double> values;
    std::string_view rest = data.substr(open + 1);
    const auto separator = [](char c) { return c == ',' || c == ';' || std::isspace(static_cast<unsigned char>(c)); };
    while (!rest.empty()) {
        while (!rest.empty() && separator(rest.front()))
            rest.remove_prefix(1);
        size_t length = 0;
        while (length < rest.size() && !separator(rest[length]))
            ++length;
        if (length > 0)
            values.push_back(Number("value", rest.substr(0, length)));
        rest.remove_prefix(length);
    }
    if (values.size() % 2 != 0)
        throw ESpectrum("The JCAMP-DX data has an x value without its y value");
    for (size_t i = 0; i < values.size(); i += 2) {
        spectrum.X.push_back(values[i] * xFactor);
        spectrum.Y.push_back(values[i + 1] * yFactor);
        if (!std::isfinite(spectrum.X.back()) || !std::isfinite(spectrum.Y.back()))
            throw ESpectrum("A JCAMP-DX value times its factor is too large");
    }
}

} // namespace

std::string JcampDxText(const TJcampSpectrum& spectrum)
{
    if (spectrum.X.size() != spectrum.Y.size())
        throw ESpectrum("A spectrum needs as many y values as x values");
    std::string text;
    AddRecord(text, "TITLE", spectrum.Title);
    AddRecord(text, "JCAMP-DX", "4.24");
    AddRecord(text, "DATA TYPE", "UV/VIS SPECTRUM");
    AddRecord(text, "ORIGIN", "Mirelda");
    AddRecord(text, "OWNER", "");
    AddRecord(text, "XUNITS", spectrum.XUnits);
    AddRecord(text, "YUNITS", spectrum.YUnits);
    AddRecord(text, "XFACTOR", "1");
    AddRecord(text, "YFACTOR", "1");
    if (!spectrum.X.empty()) {
        AddRecord(text, "FIRSTX", DecimalText(spectrum.X.front()));
        AddRecord(text, "LASTX", DecimalText(spectrum.X.back()));
        AddRecord(text, "FIRSTY", DecimalText(spectrum.Y.front()));
    }
    AddRecord(text, "NPOINTS", std::to_string(spectrum.X.size()));
    for (const auto& [name, value] : spectrum.Labels)
        AddRecord(text, '$' + Printable(name), value);
    text += "##XYPOINTS=(XY..XY)\n";
    std::string line;
    for (size_t i = 0; i < spectrum.X.size(); ++i) {
        const std::string pair = DecimalText(spectrum.X[i]) + ", " + DecimalText(spectrum.Y[i]);
        if (!line.empty() && line.size() + 2 + pair.size() > MaxLine) {
            text += line + '\n';
            line.clear();
        }
        line += (line.empty() ? "" : "; ") + pair;
    }
    if (!line.empty())
        text += line + '\n';
    text += "##END=\n";
    return text;
}

TJcampSpectrum ParseJcampDx(std::string_view text)
{
    TJcampSpectrum spectrum;
    spectrum.XUnits.clear();
    spectrum.YUnits.clear();
    double xFactor = 1.0, yFactor = 1.0;
    std::optional<double> count;
    bool hasData = false;
    for (const TRecord& record : Records(text)) {
        const std::string_view value = TrimmedText(record.Value);
        if (record.Key == "TITLE")
            spectrum.Title = value;
        else if (record.Key == "XUNITS")
            spectrum.XUnits = value;
        else if (record.Key == "YUNITS")
            spectrum.YUnits = value;
        else if (record.Key == "XFACTOR")
            xFactor = Number("XFACTOR", value);
        else if (record.Key == "YFACTOR")
            yFactor = Number("YFACTOR", value);
        else if (record.Key == "NPOINTS")
            count = Number("NPOINTS", value);
        else if (record.Key == "XYPOINTS" || record.Key == "PEAKTABLE") {
            if (hasData)
                throw ESpectrum("The JCAMP-DX file holds more than one spectrum");
            ReadPoints(value, xFactor, yFactor, spectrum);
            hasData = true;
        } else if (record.Key == "XYDATA" || record.Key == "DATATABLE")
            throw ESpectrum("Only JCAMP-DX files with ##XYPOINTS= or ##PEAK TABLE= are read");
        else if (record.Key.starts_with("$"))
            spectrum.Labels.emplace_back(record.Name.substr(1), std::string(value));
        else if (record.Key == "END")
            break;
    }
    if (!hasData)
        throw ESpectrum("The JCAMP-DX file holds no ##XYPOINTS= data");
    if (count && *count != static_cast<double>(spectrum.X.size()))
        throw ESpectrum("The JCAMP-DX file announces " + DecimalText(*count, 10) + " points but holds "
                        + std::to_string(spectrum.X.size()));
    return spectrum;
}
