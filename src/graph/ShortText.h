#pragma once

#include <string>

// Titles and curve names are short texts of at most 32 characters; longer
// texts are cut when they are stored.
inline constexpr std::size_t MaxShortTextLength = 32;

inline std::string CutShortText(const std::string& text)
{
    return text.substr(0, MaxShortTextLength);
}
