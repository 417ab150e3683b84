#include "graph/ScaleLabel.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <string>

namespace {

constexpr int LabelPrecision = 7;
constexpr int MaxLabelLength = 12;
// Enough significant digits to tell every double apart.
constexpr int ExactDigits = 17;

// The decimal digits of |value| and the position of the decimal point
// relative to them (value = 0.d1d2d3... x 10^pointPosition).
struct TDecimalDigits {
    std::string digits;
    int pointPosition = 0;
};

TDecimalDigits DecimalDigits(double value)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.*e", ExactDigits - 1, std::fabs(value));
    TDecimalDigits result;
    const char* p = text;
    for (; *p != 'e'; ++p)
        if (*p != '.')
            result.digits += *p;
    result.pointPosition = std::atoi(p + 1) + 1;
    return result;
}

// Keeps the first `count` digits, rounding halves away from zero; a carry
// out of the first digit moves the decimal point. Trailing zeros go.
void RoundDigits(TDecimalDigits& number, int count)
{
    if (count < 0) {
        number.digits.clear();
        return;
    }
    if (count >= int(number.digits.size()))
        return;
    const bool roundUp = number.digits[std::size_t(count)] >= '5';
    number.digits.resize(std::size_t(count));
    if (roundUp) {
        int i = count - 1;
        while (i >= 0 && number.digits[std::size_t(i)] == '9')
            number.digits[std::size_t(i--)] = '0';
        if (i >= 0) {
            ++number.digits[std::size_t(i)];
        } else {
            number.digits.insert(number.digits.begin(), '1');
            ++number.pointPosition;
        }
    }
    while (!number.digits.empty() && number.digits.back() == '0')
        number.digits.pop_back();
}

char DigitAt(const TDecimalDigits& number, int index)
{
    return index >= 0 && index < int(number.digits.size()) ? number.digits[std::size_t(index)] : '0';
}

QString ExponentForm(const TDecimalDigits& number, bool negative, const QString& decimalSeparator)
{
    QString text = negative ? QStringLiteral("-") : QString();
    text += QLatin1Char(DigitAt(number, 0));
    if (number.digits.size() > 1) {
        text += decimalSeparator;
        text += QString::fromLatin1(number.digits.c_str() + 1);
    }
    return text + QStringLiteral("E") + QString::number(number.pointPosition - 1);
}

} // namespace

QString FormatFixed(double value, int precision, int digits, const QString& decimalSeparator)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");

    TDecimalDigits number = DecimalDigits(value);
    if (value == 0.0)
        number.digits.clear();
    RoundDigits(number, std::min(precision, number.pointPosition + digits));
    const bool negative = value < 0 && !number.digits.empty();

    if (number.pointPosition > precision)
        return ExponentForm(number, negative, decimalSeparator);

    QString text = negative ? QStringLiteral("-") : QString();
    if (number.digits.empty() || number.pointPosition <= 0) {
        text += QLatin1Char('0');
    } else {
        for (int i = 0; i < number.pointPosition; ++i)
            text += QLatin1Char(DigitAt(number, i));
    }
    if (digits > 0) {
        text += decimalSeparator;
        for (int i = 0; i < digits; ++i)
            text += QLatin1Char(number.digits.empty() ? '0' : DigitAt(number, number.pointPosition + i));
    }
    return text;
}

QString FormatScaleLabel(double value, int decimals)
{
    QString text = FormatFixed(value, LabelPrecision, decimals, QLocale().decimalPoint()).left(MaxLabelLength);
    text.remove(QLatin1Char(' '));
    return text;
}
