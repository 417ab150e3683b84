#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

// A property of the harness's input that must hold: when it does not, the
// harness says which and aborts, and libFuzzer keeps the input.
inline void Require(bool holds, const char* property)
{
    if (!holds) {
        std::fprintf(stderr, "property failed: %s\n", property);
        std::abort();
    }
}

// Takes one part of the input off its front: a byte that counts the part's
// length, then the part (shorter where the input ends).
inline std::string_view TakeCounted(std::string_view& input)
{
    if (input.empty())
        return {};
    const size_t length = static_cast<unsigned char>(input.front());
    input.remove_prefix(1);
    const std::string_view part = input.substr(0, length);
    input.remove_prefix(part.size());
    return part;
}

// Letters a to z and A to Z in the case asked for; the 8-bit texts have no
// other letter case.
inline std::string WithAsciiCase(std::string_view text, bool upper)
{
    std::string converted(text);
    for (char& c : converted) {
        if (upper && c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        else if (!upper && c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return converted;
}
