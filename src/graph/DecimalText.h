#pragma once

#include <string>

// Reads a number typed by the operator: at most the first 32 characters,
// the first "," taken as ".", leading blanks skipped, then an optional
// sign, digits, optionally "." and more digits (either run may be empty),
// and optionally an exponent (E or e, optional sign, at least one digit).
// The whole text must be used. On failure `value` is left as it was.
bool ParseDecimalText(const std::string& text, double& value);
