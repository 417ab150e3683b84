#pragma once

#include <charconv>
#include <stdexcept>
#include <string>

// A whole number option value within [min, max]; anything else raises
// std::invalid_argument with a message for the operator.
template <typename Integer>
Integer OptionNumber(const std::string& option, const std::string& text, Integer min, Integer max)
{
    Integer value{};
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() || value < min || value > max)
        throw std::invalid_argument(option + " needs a whole number from " + std::to_string(min) + " to "
                                    + std::to_string(max) + ", not '" + text + "'");
    return value;
}
