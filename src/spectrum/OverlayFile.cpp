#include "spectrum/OverlayFile.h"

#include "spectrum/JcampDx.h"
#include "spectrum/SpectrumErrors.h"

#include <charconv>
#include <cmath>
#include <optional>

namespace {

std::vector<std::string_view> Cells(std::string_view line)
{
    std::vector<std::string_view> cells;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= line.size(); ++i) {
        if (i == line.size() || line[i] == ',' || line[i] == ';' || line[i] == '\t') {
            std::string_view cell = line.substr(start, i - start);
            while (!cell.empty() && cell.front() == ' ')
                cell.remove_prefix(1);
            while (!cell.empty() && cell.back() == ' ')
                cell.remove_suffix(1);
            cells.push_back(cell);
            start = i + 1;
        }
    }
    return cells;
}

std::optional<double> Number(std::string_view cell)
{
    double value = 0.0;
    if (!cell.empty() && cell.front() == '+')
        cell.remove_prefix(1);
    const auto result = std::from_chars(cell.data(), cell.data() + cell.size(), value);
    if (cell.empty() || result.ec != std::errc() || result.ptr != cell.data() + cell.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

[[noreturn]] void Refuse(int line, const std::string& why)
{
    throw ESpectrum("Line " + std::to_string(line) + " of the file " + why);
}

} // namespace

TOverlay ParseOverlayCsv(std::string_view text)
{
    TOverlay overlay;
    std::size_t yColumn = 1;
    bool columnsKnown = false;
    int lineNumber = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line.front() == '#')
            continue;
        const std::vector<std::string_view> cells = Cells(line);
        if (!columnsKnown && !Number(cells[0])) {
            // The column line: our own files put the plotted value third.
            columnsKnown = true;
            if (cells.size() >= 3 && cells[0] == "pixel" && cells[2] == "plotted value")
                yColumn = 2;
            if (cells[0].find("nm") != std::string_view::npos)
                overlay.XUnit = "nm";
            continue;
        }
        columnsKnown = true;
        if (cells.size() <= yColumn)
            Refuse(lineNumber, "has no y value");
        const std::optional<double> x = Number(cells[0]);
        if (!x)
            Refuse(lineNumber, "has no x number: '" + std::string(cells[0]) + "'");
        const std::optional<double> y = Number(cells[yColumn]);
        if (!y && !cells[yColumn].empty())
            Refuse(lineNumber, "has no y number: '" + std::string(cells[yColumn]) + "'");
        overlay.Points.push_back({*x, y.value_or(0.0), y.has_value()});
    }
    if (overlay.Points.empty())
        throw ESpectrum("The file holds no spectrum");
    return overlay;
}

std::string ProcessedSpectrumCsv(const std::vector<TSpectrumPoint>& points, TProcessingMode mode,
                                 const std::string& xUnit)
{
    std::string csv = "# mode: " + std::string(ModeInfo(mode).Name) + "\n";
    csv += xUnit + ',' + ModeInfo(mode).AxisTitle + '\n';
    char number[32];
    for (const TSpectrumPoint& point : points) {
        csv.append(number, std::to_chars(number, number + sizeof number, point.X).ptr);
        csv += ',';
        if (point.Present)
            csv.append(number, std::to_chars(number, number + sizeof number, point.Y).ptr);
        csv += '\n';
    }
    return csv;
}

TOverlay ParseOverlay(std::string_view text)
{
    const std::size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos || text.substr(start, 2) != "##")
        return ParseOverlayCsv(text);
    const TJcampSpectrum spectrum = ParseJcampDx(text);
    TOverlay overlay;
    overlay.XUnit = spectrum.XUnits.find("NANOMETER") != std::string::npos ? "nm" : "pixel";
    for (std::size_t i = 0; i < spectrum.X.size() && i < spectrum.Y.size(); ++i) {
        if (!std::isfinite(spectrum.X[i]) || !std::isfinite(spectrum.Y[i]))
            throw ESpectrum("The file holds a value that is not a finite number");
        overlay.Points.push_back({spectrum.X[i], spectrum.Y[i], true});
    }
    if (overlay.Points.empty())
        throw ESpectrum("The file holds no spectrum");
    return overlay;
}

std::string ProcessedSpectrumJcamp(const std::vector<TSpectrumPoint>& points, TProcessingMode mode,
                                   const std::string& xUnit)
{
    TJcampSpectrum spectrum;
    spectrum.Title = std::string("Mirelda ") + ModeInfo(mode).Name;
    spectrum.XUnits = xUnit == "nm" ? "NANOMETERS" : "ARBITRARY UNITS";
    spectrum.Labels.emplace_back("MODE", ModeInfo(mode).Name);
    for (const TSpectrumPoint& point : points) {
        if (point.Present) {
            spectrum.X.push_back(point.X);
            spectrum.Y.push_back(point.Y);
        }
    }
    return JcampDxText(spectrum);
}
