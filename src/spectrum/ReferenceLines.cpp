#include "spectrum/ReferenceLines.h"

#include "spectrum/DecimalNumbers.h"
#include "spectrum/LineListData.h"
#include "spectrum/SpectrumErrors.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace {

struct TLampEntry {
    TLamp Lamp;
    const char* Name;
    const char* Key;
    const char* File;
};

const std::array<TLampEntry, 3>& Entries()
{
    static const std::array<TLampEntry, 3> entries{{
        {TLamp::Fluorescent, "Fluorescent lamp (Hg, Eu, Tb)", "hg", "fluorescent.lines"},
        {TLamp::Neon, "Neon", "ne", "neon.lines"},
        {TLamp::Argon, "Argon", "ar", "argon.lines"},
    }};
    return entries;
}

const TLampEntry& Entry(TLamp lamp)
{
    for (const TLampEntry& entry : Entries())
        if (entry.Lamp == lamp)
            return entry;
    throw ESpectrum("Unknown calibration lamp");
}

std::vector<std::string_view> Words(std::string_view line)
{
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i])))
            ++i;
        const size_t start = i;
        while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i])))
            ++i;
        if (i > start)
            words.push_back(line.substr(start, i - start));
    }
    return words;
}

} // namespace

const std::vector<TLamp>& Lamps()
{
    static const std::vector<TLamp> lamps{TLamp::Fluorescent, TLamp::Neon, TLamp::Argon};
    return lamps;
}

std::string LampName(TLamp lamp)
{
    return Entry(lamp).Name;
}

std::string LampKey(TLamp lamp)
{
    return Entry(lamp).Key;
}

std::string LampFileName(TLamp lamp)
{
    return Entry(lamp).File;
}

TLamp LampFromKey(std::string_view key)
{
    for (const TLampEntry& entry : Entries())
        if (key == entry.Key)
            return entry.Lamp;
    throw ESpectrum("Unknown calibration lamp \"" + std::string(key.substr(0, 20)) + "\"; choose hg, ne or ar");
}

const std::vector<TReferenceLine>& ReferenceLines(TLamp lamp)
{
    static const std::vector<TReferenceLine> fluorescent = ParseLineList(FluorescentLinesText);
    static const std::vector<TReferenceLine> neon = ParseLineList(NeonLinesText);
    static const std::vector<TReferenceLine> argon = ParseLineList(ArgonLinesText);
    switch (lamp) {
    case TLamp::Neon:
        return neon;
    case TLamp::Argon:
        return argon;
    case TLamp::Fluorescent:
        break;
    }
    return fluorescent;
}

std::vector<TReferenceLine> ParseLineList(std::string_view text)
{
    std::vector<TReferenceLine> lines;
    for (int number = 1; !text.empty(); ++number) {
        const size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        const std::vector<std::string_view> words = Words(line);
        if (words.empty() || words.front().front() == '#')
            continue;
        const auto wavelength = ParseDecimal(words[0]);
        const auto intensity = words.size() > 1 ? ParseDecimal(words[1]) : std::nullopt;
        if (!wavelength || !intensity || *wavelength <= 0 || *intensity < 0)
            throw ESpectrum("Line " + std::to_string(number)
                            + " of the line list is not \"wavelength intensity species\"");
        std::string species;
        for (size_t w = 2; w < words.size(); ++w)
            species += (w > 2 ? " " : "") + std::string(words[w]);
        lines.push_back({*wavelength, *intensity, species});
    }
    std::sort(lines.begin(), lines.end(),
              [](const TReferenceLine& a, const TReferenceLine& b) { return a.Wavelength < b.Wavelength; });
    return lines;
}
