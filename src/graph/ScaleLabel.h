#pragma once

#include <QString>

// Text of a main-tick value: fixed point with 7 significant digits and
// `decimals` digits after the user's decimal separator, cut to 12
// characters, blanks removed.
QString FormatScaleLabel(double value, int decimals);

// The fixed-point form alone: the value rounded to `precision` significant
// digits (halves away from zero) and written with `digits` digits after the
// separator; values with more than `precision` digits before the separator
// are written in exponent form (1.234568E10).
QString FormatFixed(double value, int precision, int digits, const QString& decimalSeparator);
