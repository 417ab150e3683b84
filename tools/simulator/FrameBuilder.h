#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class TLineEnd { CrLf, LfCr, Lf };

struct TFrameHeader {
    uint64_t Number = 0;
    int32_t Exposure = 0;
    int Fields = 0;
};

// Appends one frame of the device's text protocol to out: five header
// lines, one line per reading (field 6 on), then the closing 'e'. The
// header is upper case and digits, since any lower-case 'e' would end the
// frame early. A malformedField (>= 6) gets a stray character after its
// digits, as a garbled line would; 0 means none.
void AppendFrame(std::string& out, const TFrameHeader& header, const std::vector<int>& readings,
                 TLineEnd lineEnd, int malformedField = 0);

const char* LineEndText(TLineEnd lineEnd);
