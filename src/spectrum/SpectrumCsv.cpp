#include "spectrum/SpectrumCsv.h"

#include "spectrum/DecimalNumbers.h"
#include "spectrum/SpectrumErrors.h"

#include <algorithm>
#include <optional>

namespace {

std::vector<std::string_view> Fields(std::string_view line)
{
    std::vector<std::string_view> fields;
    while (true) {
        const size_t comma = line.find(',');
        fields.push_back(line.substr(0, comma));
        if (comma == std::string_view::npos)
            return fields;
        line.remove_prefix(comma + 1);
    }
}

} // namespace

int TSpectrumTable::Column(std::string_view name) const
{
    const auto found = std::find(Columns.begin(), Columns.end(), name);
    return found == Columns.end() ? -1 : static_cast<int>(found - Columns.begin());
}

std::string TSpectrumTable::Comment(std::string_view name) const
{
    for (const auto& [key, value] : Comments)
        if (key == name)
            return value;
    return {};
}

TSpectrumTable ParseSpectrumCsv(std::string_view text)
{
    TSpectrumTable table;
    for (int number = 1; !text.empty(); ++number) {
        const size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty())
            continue;
        if (line.starts_with("# ") && table.Columns.empty()) {
            const size_t colon = line.find(": ");
            if (colon != std::string_view::npos)
                table.Comments.emplace_back(line.substr(2, colon - 2), line.substr(colon + 2));
            continue;
        }
        const std::vector<std::string_view> fields = Fields(line);
        if (table.Columns.empty()) {
            table.Columns.assign(fields.begin(), fields.end());
            continue;
        }
        if (fields.size() != table.Columns.size())
            throw ESpectrum("Line " + std::to_string(number) + " of the spectrum file has "
                            + std::to_string(fields.size()) + " values for " + std::to_string(table.Columns.size())
                            + " columns");
        std::vector<double> row;
        for (const std::string_view field : fields) {
            const std::optional<double> value = ParseDecimal(field);
            if (!value)
                throw ESpectrum("Line " + std::to_string(number) + " of the spectrum file has a value that is not "
                                "a number");
            row.push_back(*value);
        }
        table.Rows.push_back(std::move(row));
    }
    if (table.Columns.empty())
        throw ESpectrum("The spectrum file has no line of column names");
    return table;
}
