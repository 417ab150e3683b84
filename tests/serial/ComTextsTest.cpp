#include "serial/ComTexts.h"

#include <gtest/gtest.h>

namespace {

TEST(ComTextsTest, EnumerationTextsRoundTripInDeclarationOrder)
{
    for (int i = brCustom; i <= br256000; ++i)
        EXPECT_EQ(TextToBaudRate(BaudRateToText(static_cast<TBaudRate>(i))), i);
    for (int i = prNone; i <= prSpace; ++i)
        EXPECT_EQ(TextToParity(ParityToText(static_cast<TParityBits>(i))), i);
    for (int i = rtsDisable; i <= rtsToggle; ++i)
        EXPECT_EQ(TextToRtsControl(RtsControlToText(static_cast<TRTSFlowControl>(i))), i);
    EXPECT_EQ(StopBitsToText(sbOne5StopBits), "1.5");
    EXPECT_EQ(DataBitsToText(dbFive), "5");
    EXPECT_EQ(FlowControlToText(fcSoftware), "Software");
    EXPECT_EQ(DtrControlToText(dtrHandshake), "Handshake");
    EXPECT_EQ(BaudRateValue(br56000), 56000u);
    EXPECT_EQ(BaudRateValue(brCustom), 0u);
}

TEST(ComTextsTest, TextMatchesIgnoringCaseButNotBlanksElseFallsBack)
{
    EXPECT_EQ(TextToBaudRate("115200"), br115200);
    EXPECT_EQ(TextToBaudRate("custom"), brCustom);
    EXPECT_EQ(TextToBaudRate(" 9600"), br9600);
    EXPECT_EQ(TextToBaudRate("300 "), br9600);
    EXPECT_EQ(TextToBaudRate("31250"), br9600);
    EXPECT_EQ(TextToParity("EVEN"), prEven);
    EXPECT_EQ(TextToParity("parity"), prNone);
    EXPECT_EQ(TextToStopBits("1,5"), sbOneStopBit);
    EXPECT_EQ(TextToDataBits("9"), dbEight);
    EXPECT_EQ(TextToFlowControl(""), fcCustom);
    EXPECT_EQ(TextToFlowControl("hardware"), fcHardware);
    EXPECT_EQ(TextToDtrControl("x"), dtrDisable);
    EXPECT_EQ(TextToRtsControl("TOGGLE"), rtsToggle);
}

TEST(ComTextsTest, BooleansAreYesAndNo)
{
    EXPECT_EQ(BoolToText(true), "Yes");
    EXPECT_EQ(BoolToText(false), "No");
    EXPECT_TRUE(TextToBool("yes"));
    EXPECT_TRUE(TextToBool("YES"));
    EXPECT_FALSE(TextToBool(""));
    EXPECT_FALSE(TextToBool("1"));
    EXPECT_FALSE(TextToBool("Yes "));
}

TEST(ComTextsTest, CharactersOutsidePrintableRangeUseHashAndCode)
{
    EXPECT_EQ(CharToText('e'), "e");
    EXPECT_EQ(CharToText('!'), "!");
    EXPECT_EQ(CharToText(127), std::string(1, '\x7f'));
    EXPECT_EQ(CharToText(' '), "#32");
    EXPECT_EQ(CharToText(17), "#17");
    EXPECT_EQ(CharToText(0), "#0");
    EXPECT_EQ(CharToText(static_cast<char>(128)), "#128");
    EXPECT_EQ(CharToText(static_cast<char>(200)), "#200");

    EXPECT_EQ(TextToChar(""), 0);
    EXPECT_EQ(TextToChar("#13"), 13);
    EXPECT_EQ(TextToChar("#300"), 44);
    EXPECT_EQ(TextToChar("#101"), 'e');
    EXPECT_EQ(TextToChar("#-1"), static_cast<char>(255));
    EXPECT_EQ(TextToChar("#abc"), 0);
    EXPECT_EQ(TextToChar("#12x"), 0);
    EXPECT_EQ(TextToChar("#99999999999"), 0);
    // One sign at most, and the number within 32 bits.
    EXPECT_EQ(TextToChar("#+65"), 'A');
    EXPECT_EQ(TextToChar("#+-1"), 0);
    EXPECT_EQ(TextToChar("#--1"), 0);
    EXPECT_EQ(TextToChar("#-2147483647"), 1);
    EXPECT_EQ(TextToChar("#2147483648"), 0);
    EXPECT_EQ(TextToChar("#"), '#');
    EXPECT_EQ(TextToChar("e"), 'e');
    EXPECT_EQ(TextToChar("ab"), 'a');
    for (int code = 0; code < 256; ++code)
        EXPECT_EQ(TextToChar(CharToText(static_cast<char>(code))), static_cast<char>(code));
}

} // namespace
