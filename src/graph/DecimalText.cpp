#include "graph/DecimalText.h"

#include <cctype>
#include <charconv>
#include <cstddef>

namespace {

constexpr std::size_t MaxTypedLength = 32;

bool IsDigit(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

std::size_t SkipDigits(const std::string& text, std::size_t at)
{
    while (at < text.size() && IsDigit(text[at]))
        ++at;
    return at;
}

} // namespace

bool ParseDecimalText(const std::string& text, double& value)
{
    std::string typed = text.substr(0, MaxTypedLength);
    if (const std::size_t comma = typed.find(','); comma != std::string::npos)
        typed[comma] = '.';

    std::size_t at = typed.find_first_not_of(' ');
    if (at == std::string::npos)
        return false;
    // The number is rebuilt in a form the locale-free conversion reads: it
    // wants no "+" and at least one digit before and after the point.
    std::string number;
    if (typed[at] == '+' || typed[at] == '-') {
        if (typed[at] == '-')
            number += '-';
        ++at;
    }
    const std::size_t integralEnd = SkipDigits(typed, at);
    number.append(typed, at, integralEnd - at);
    if (integralEnd == at)
        number += '0';
    at = integralEnd;
    number += '.';
    if (at < typed.size() && typed[at] == '.') {
        const std::size_t fractionEnd = SkipDigits(typed, ++at);
        number.append(typed, at, fractionEnd - at);
        at = fractionEnd;
    }
    number += '0';
    if (at < typed.size() && (typed[at] == 'E' || typed[at] == 'e')) {
        number += 'e';
        ++at;
        if (at < typed.size() && (typed[at] == '+' || typed[at] == '-'))
            number += typed[at++];
        const std::size_t exponentEnd = SkipDigits(typed, at);
        if (exponentEnd == at)
            return false;
        number.append(typed, at, exponentEnd - at);
        at = exponentEnd;
    }
    if (at != typed.size())
        return false;

    double parsed = 0.0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), parsed);
    if (error != std::errc() || end != number.data() + number.size())
        return false;
    value = parsed;
    return true;
}
