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

// Comparison without regard to letter case: negative, 0 or positive like
// strcmp, with the letters compared as upper case.
inline int CompareText(std::string_view a, std::string_view b)
{
    const std::size_t common = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < common; ++i) {
        const auto left = static_cast<unsigned char>(UpperCaseChar(a[i]));
        const auto right = static_cast<unsigned char>(UpperCaseChar(b[i]));
        if (left != right)
            return left < right ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

// Whether two texts are equal without regard to letter case.
inline bool SameText(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && CompareText(a, b) == 0;
}
