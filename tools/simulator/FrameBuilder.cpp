#include "simulator/FrameBuilder.h"

#include <charconv>

namespace {

template <typename Integer>
void AppendNumber(std::string& out, Integer value)
{
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

template <typename Integer>
void AppendHeaderLine(std::string& out, const char* label, Integer value, const char* end)
{
    out += label;
    out += ' ';
    AppendNumber(out, value);
    out += end;
}

} // namespace

const char* LineEndText(TLineEnd lineEnd)
{
    switch (lineEnd) {
    case TLineEnd::LfCr:
        return "\n\r";
    case TLineEnd::Lf:
        return "\n";
    case TLineEnd::CrLf:
        break;
    }
    return "\r\n";
}

void AppendFrame(std::string& out, const TFrameHeader& header, const std::vector<int>& readings,
                 TLineEnd lineEnd, int malformedField)
{
    const char* end = LineEndText(lineEnd);
    out += "SIMULATOR";
    out += end;
    AppendHeaderLine(out, "FRAME", header.Number, end);
    AppendHeaderLine(out, "EXPOSURE", header.Exposure, end);
    AppendHeaderLine(out, "FIELDS", header.Fields, end);
    AppendHeaderLine(out, "READINGS", readings.size(), end);
    int field = 6;
    for (const int reading : readings) {
        AppendNumber(out, reading);
        if (field == malformedField)
            out += '?';
        out += end;
        ++field;
    }
    out += 'e';
}
