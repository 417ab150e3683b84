#pragma once

#include <QByteArrayView>

#include <cstdint>

// The two readings of integer text (8-bit) the program uses. Both skip
// leading spaces and take an optional sign, then decimal digits or
// hexadecimal digits (either case) after "$", "x", "X", "0x" or "0X".
// Hexadecimal text is a 32-bit pattern: $FFFFFFFF is -1.

// For device fields: the text must end right after the digits, decimal text
// must lie in the signed 32-bit range and hexadecimal text fit in 32 bits.
// Anything else raises EConvertError "'<text>' is not a valid integer value".
int32_t StrToInt(QByteArrayView text);

// StrToInt without the error: false for text it refuses, with value untouched.
bool TryStrToInt(QByteArrayView text, int32_t& value);

// For operator fields: never fails. It stops at the first character that does
// not fit and then yields the digits read so far without their sign ("-3x" is
// 3, "-3" is -3); no digit gives 0. Decimal digits are no longer taken once
// the value exceeds 214748364, so "2147483648" still completes and wraps to a
// negative number.
int32_t StrToIntLenient(QByteArrayView text);
