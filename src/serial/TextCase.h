#pragma once

#include <string>
#include <string_view>

// Letter case of the system's 8-bit texts: only a-z and A-Z have a case.

inline char UpperCaseChar(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

inline std::string UpperCase(std::string_view text)
{
    std::string upper(text);
    for (char& c : upper)
        c = UpperCaseChar(c);
    return upper;
}

// Whether two texts are equal without regard to letter case.
inline bool SameText(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (UpperCaseChar(a[i]) != UpperCaseChar(b[i]))
            return false;
    }
    return true;
}
