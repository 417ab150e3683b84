#include "common/IntegerConversion.h"

#include "common/Exception.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

std::string StrictError(const std::string& text)
{
    try {
        StrToInt(text);
    } catch (const EConvertError& error) {
        return error.what();
    }
    return "accepted";
}

TEST(StrToIntTest, AcceptsDecimalWithSpacesAndSignUpToTheSigned32BitRange)
{
    EXPECT_EQ(StrToInt("0"), 0);
    EXPECT_EQ(StrToInt("-0"), 0);
    EXPECT_EQ(StrToInt("12"), 12);
    EXPECT_EQ(StrToInt("   12"), 12);
    EXPECT_EQ(StrToInt("+12"), 12);
    EXPECT_EQ(StrToInt(" -12"), -12);
    EXPECT_EQ(StrToInt("0000000000000012"), 12);
    EXPECT_EQ(StrToInt("2147483647"), INT_MAX);
    EXPECT_EQ(StrToInt("-2147483648"), INT_MIN);
}

TEST(StrToIntTest, ReadsHexadecimalAfterEveryPrefixAsA32BitPattern)
{
    EXPECT_EQ(StrToInt("$10"), 16);
    EXPECT_EQ(StrToInt("x1f"), 31);
    EXPECT_EQ(StrToInt("X1F"), 31);
    EXPECT_EQ(StrToInt("0x7fffffff"), INT_MAX);
    EXPECT_EQ(StrToInt("0XFFFFFFFF"), -1);
    EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
    EXPECT_EQ(StrToInt("$80000000"), INT_MIN);
    EXPECT_EQ(StrToInt("-$80000000"), INT_MIN);
    EXPECT_EQ(StrToInt("-$FFFFFFFF"), 1);
    EXPECT_EQ(StrToInt(" +0x10"), 16);
    EXPECT_EQ(StrToInt("$0000000001"), 1);
}

TEST(StrToIntTest, RefusesAnythingElseNamingTheTextInTheMessage)
{
    EXPECT_EQ(StrictError(""), "'' is not a valid integer value");
    EXPECT_EQ(StrictError("12 "), "'12 ' is not a valid integer value");
    EXPECT_EQ(StrictError("2147483648"), "'2147483648' is not a valid integer value");
    for (const char* text : {" ", "1 2", "12a", "+", "-", "$", "x", "0x", "- 12", "\t12", "1.5", "++1",
                             "-2147483649", "21474836470", "99999999999", "$100000000", "$FFFFFFFFF",
                             "0x1g", "$-1"})
        EXPECT_NE(StrictError(text), "accepted") << text;
}

TEST(StrToIntTest, MessageKeepsEightBitTextAsItCame)
{
    const std::string text = "1\xE4";
    EXPECT_EQ(StrictError(text), "'" + text + "' is not a valid integer value");
}

TEST(StrToIntLenientTest, StopsAtTheFirstUnfittingCharacterAndThenDropsTheSign)
{
    EXPECT_EQ(StrToIntLenient("12a"), 12);
    EXPECT_EQ(StrToIntLenient("-3x"), 3);
    EXPECT_EQ(StrToIntLenient("-3"), -3);
    EXPECT_EQ(StrToIntLenient("-12 "), 12);
    EXPECT_EQ(StrToIntLenient(" 5"), 5);
    EXPECT_EQ(StrToIntLenient("+7"), 7);
    EXPECT_EQ(StrToIntLenient("$10"), 16);
    EXPECT_EQ(StrToIntLenient("-$10"), -16);
    EXPECT_EQ(StrToIntLenient("-$1g"), 1);
    EXPECT_EQ(StrToIntLenient("0x"), 0);
    EXPECT_EQ(StrToIntLenient(""), 0);
    EXPECT_EQ(StrToIntLenient("abc"), 0);
    EXPECT_EQ(StrToIntLenient("-"), 0);
    EXPECT_EQ(StrToIntLenient("$FFFFFFFF"), -1);
}

TEST(StrToIntLenientTest, TakesNoDigitPastTheRangeCheckAndWrapsWhatGetsThrough)
{
    EXPECT_EQ(StrToIntLenient("2147483647"), INT_MAX);
    EXPECT_EQ(StrToIntLenient("2147483648"), INT_MIN);
    EXPECT_EQ(StrToIntLenient("2147483649"), -2147483647);
    EXPECT_EQ(StrToIntLenient("-2147483648"), INT_MIN);
    EXPECT_EQ(StrToIntLenient("-2147483649"), INT_MAX);
    // 214748365 exceeds the check: the next digit is refused and the sign lost.
    EXPECT_EQ(StrToIntLenient("2147483650"), 214748365);
    EXPECT_EQ(StrToIntLenient("-2147483650"), 214748365);
    EXPECT_EQ(StrToIntLenient("21474836490"), -2147483647);
    EXPECT_EQ(StrToIntLenient("99999999999"), 999999999);
    EXPECT_EQ(StrToIntLenient("$123456789"), 0x12345678);
}

} // namespace
