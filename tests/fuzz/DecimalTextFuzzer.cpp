// The number an operator types into the graph's fields, against a plain
// reference: the grammar checked by hand, the value from the C library.
//
// Input: the typed text.
#include "FuzzCheck.h"

#include "graph/DecimalText.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The typed text as the C library reads it, when it has the form: up to
// 32 characters, the first comma as a point, leading blanks, a sign,
// digits, a point and digits (either run may be empty), an exponent with
// at least one digit.
std::optional<std::string> Normalised(const std::string& text)
{
    std::string typed = text.substr(0, 32);
    if (const size_t comma = typed.find(','); comma != std::string::npos)
        typed[comma] = '.';
    size_t at = typed.find_first_not_of(' ');
    if (at == std::string::npos)
        return std::nullopt;
    std::string number;
    if (typed[at] == '+' || typed[at] == '-')
        number += typed[at++];
    size_t digits = 0;
    for (; at < typed.size() && IsDigit(typed[at]); ++at, ++digits)
        number += typed[at];
    if (at < typed.size() && typed[at] == '.') {
        number += typed[at++];
        for (; at < typed.size() && IsDigit(typed[at]); ++at, ++digits)
            number += typed[at];
    }
    // Neither run: the C library reads nothing, the field reads zero.
    if (digits == 0)
        number = number.starts_with('-') ? "-0" : "0";
    if (at < typed.size() && (typed[at] == 'e' || typed[at] == 'E')) {
        number += typed[at++];
        if (at < typed.size() && (typed[at] == '+' || typed[at] == '-'))
            number += typed[at++];
        if (at == typed.size() || !IsDigit(typed[at]))
            return std::nullopt;
        for (; at < typed.size() && IsDigit(typed[at]); ++at)
            number += typed[at];
    }
    if (at != typed.size())
        return std::nullopt;
    return number;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    constexpr double untouched = 12345.678;
    double value = untouched;
    const bool parsed = ParseDecimalText(text, value);
    const std::optional<std::string> number = Normalised(text);
    if (!number) {
        Require(!parsed && value == untouched, "text out of form is refused and leaves the value");
        return 0;
    }
    errno = 0;
    const double expected = std::strtod(number->c_str(), nullptr);
    const bool outOfRange = errno == ERANGE;
    if (!parsed) {
        Require(outOfRange && value == untouched, "text in form is read unless out of range");
        return 0;
    }
    Require(std::memcmp(&value, &expected, sizeof value) == 0, "the value is the correctly rounded one");
    Require(!std::isinf(value), "an overflow is refused");
    return 0;
}
