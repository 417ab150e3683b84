#pragma once

#include <optional>
#include <string>
#include <string_view>

// Numbers and texts in the spectrum files and the calibration texts: always '.' as
// the decimal separator, whatever the user's locale, and the shortest text
// that reads back as the same double.
std::string DecimalText(double value);
// The same with at most `digits` significant digits, for tables a person
// reads.
std::string DecimalText(double value, int digits);
// The text without the blanks (and CR, LF, tabs) around it.
std::string_view TrimmedText(std::string_view text);
// The whole text as one finite number (blanks around it allowed), or none.
std::optional<double> ParseDecimal(std::string_view text);
