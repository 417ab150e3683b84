#include "common/IntegerConversion.h"

#include "common/Exception.h"

#include <string>

namespace {

// What one pass over the text found. The magnitude is kept in unsigned
// 32-bit arithmetic, where wrapping is defined.
struct TScan {
    uint32_t Magnitude = 0;
    bool Negative = false;
    bool Hexadecimal = false;
    bool HasDigits = false;
    bool Complete = false; // the digits ran to the end of the text
};

// The digit's value, or -1 when c is no digit of the base.
int DigitValue(char c, bool hexadecimal)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (hexadecimal && c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (hexadecimal && c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

TScan Scan(QByteArrayView text)
{
    TScan scan;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == ' ')
        ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        scan.Negative = text[i] == '-';
        ++i;
    }
    if (i < n && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        scan.Hexadecimal = true;
        ++i;
    } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        scan.Hexadecimal = true;
        i += 2;
    }

    // A further digit is refused once it could not fit: past 28 bits for a
    // hexadecimal pattern, past 214748364 for decimal (so 2147483648 and
    // 2147483649 still get through and wrap).
    const uint32_t base = scan.Hexadecimal ? 16 : 10;
    const uint32_t lastExtendable = scan.Hexadecimal ? 0x0FFFFFFFu : 214748364u;
    for (; i < n; ++i) {
        const int digit = DigitValue(text[i], scan.Hexadecimal);
        if (digit < 0 || scan.Magnitude > lastExtendable)
            return scan;
        scan.Magnitude = scan.Magnitude * base + static_cast<uint32_t>(digit);
        scan.HasDigits = true;
    }
    scan.Complete = scan.HasDigits;
    return scan;
}

int32_t Signed(const TScan& scan)
{
    const uint32_t bits = scan.Negative ? 0u - scan.Magnitude : scan.Magnitude;
    return static_cast<int32_t>(bits);
}

} // namespace

bool TryStrToInt(QByteArrayView text, int32_t& value)
{
    const TScan scan = Scan(text);
    const uint32_t decimalLimit = scan.Negative ? 2147483648u : 2147483647u;
    if (!scan.Complete || (!scan.Hexadecimal && scan.Magnitude > decimalLimit))
        return false;
    value = Signed(scan);
    return true;
}

int32_t StrToInt(QByteArrayView text)
{
    int32_t value = 0;
    if (!TryStrToInt(text, value))
        throw EConvertError("'" + std::string(text.data(), static_cast<size_t>(text.size()))
                            + "' is not a valid integer value");
    return value;
}

int32_t StrToIntLenient(QByteArrayView text)
{
    const TScan scan = Scan(text);
    if (!scan.Complete)
        return static_cast<int32_t>(scan.Magnitude);
    return Signed(scan);
}
