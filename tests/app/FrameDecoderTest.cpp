#include "app/FrameDecoder.h"

#include "common/Exception.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

namespace {

const QByteArray Header = "SENSOR\r\nFRAME 1\r\n\r\nPIXELS\r\n5\r\n";

// Five header lines, then the readings, each line closed by lineEnd, then 'e'.
QByteArray Frame(const std::vector<std::string>& readings, const QByteArray& lineEnd = "\r\n")
{
    QByteArray frame = QByteArray(Header).replace("\r\n", lineEnd);
    for (const std::string& reading : readings)
        frame += QByteArray::fromStdString(reading) + lineEnd;
    return frame + "e";
}

// The conversion error's message; `field` receives the refused field's number.
std::string DecodeError(TFrameDecoder& decoder, const QByteArray& log, int* field = nullptr)
{
    try {
        decoder.Decode(log);
    } catch (const EReadingError& error) {
        if (field)
            *field = error.Field();
        return error.what();
    }
    return "decoded";
}

class FrameDecoderTest : public ::testing::Test {
protected:
    // The tables are large; keep them off the stack.
    std::unique_ptr<TFrameDecoder> owner = std::make_unique<TFrameDecoder>();
    TFrameDecoder& decoder = *owner;
};

TEST_F(FrameDecoderTest, CrLfAndLfCrFramesDecodeAlikeAndPlotInverted)
{
    for (const char* lineEnd : {"\r\n", "\n\r", "\r"}) {
        auto fresh = std::make_unique<TFrameDecoder>();
        EXPECT_TRUE(fresh->Decode(Frame({"100", "101"}, lineEnd)));
        fresh->ReadScale("0", "1");
        EXPECT_EQ(fresh->FieldText(2), "FRAME 1");
        EXPECT_EQ(fresh->FieldText(3), "");
        EXPECT_EQ(fresh->FieldValue(6), 100);
        EXPECT_EQ(fresh->FieldValue(7), 101);
        EXPECT_EQ(fresh->PlotY(6), 156);
        EXPECT_EQ(fresh->PlotY(7), 155);
        EXPECT_EQ(fresh->PlotY(8), 256);
        EXPECT_EQ(fresh->PlotY(512), 256);
    }
}

TEST_F(FrameDecoderTest, HeaderFieldsAreTextOnly)
{
    decoder.Decode(Frame({"7"}));
    decoder.Decode("abc\r\r-\r$\r\r9\re");
    EXPECT_EQ(decoder.FieldText(1), "abc");
    EXPECT_EQ(decoder.FieldText(5), "");
    for (int k = 1; k <= TFrameDecoder::HeaderFields; ++k)
        EXPECT_EQ(decoder.FieldValue(k), 0) << k;
    EXPECT_EQ(decoder.FieldValue(6), 9);
}

TEST_F(FrameDecoderTest, LfOnlyFrameClosesNoFieldAndKeepsTheCurve)
{
    decoder.Decode(Frame({"10", "20"}));
    EXPECT_TRUE(decoder.Decode(Frame({"30", "40"}, "\n")));
    EXPECT_EQ(decoder.FieldValue(6), 10);
    EXPECT_EQ(decoder.FieldValue(7), 20);
    EXPECT_EQ(decoder.FieldText(1), "SENSOR");
}

TEST_F(FrameDecoderTest, TablesAreKeptBetweenFramesOfDifferentLength)
{
    decoder.Decode(Frame({"1", "2", "3", "4"}));
    decoder.Decode(Frame({"50"}));
    EXPECT_EQ(decoder.FieldValue(6), 50);
    EXPECT_EQ(decoder.FieldValue(7), 2);
    EXPECT_EQ(decoder.FieldValue(9), 4);
    EXPECT_EQ(decoder.FieldText(9), "4");
}

TEST_F(FrameDecoderTest, ReadingsAcceptLeadingSpacesAndHexButNotTrailingSpaces)
{
    decoder.Decode(Frame({" 12", "$FF", "-0x10"}));
    EXPECT_EQ(decoder.FieldValue(6), 12);
    EXPECT_EQ(decoder.FieldValue(7), 255);
    EXPECT_EQ(decoder.FieldValue(8), -16);

    EXPECT_EQ(DecodeError(decoder, Frame({"5", "12 ", "6"})), "'12 ' is not a valid integer value");
}

TEST_F(FrameDecoderTest, BadReadingEndsTheDecodeWithEarlierFieldsUpdated)
{
    decoder.Decode(Frame({"1", "2", "3"}));
    EXPECT_EQ(DecodeError(decoder, Frame({"11", "", "33"})), "'' is not a valid integer value");
    EXPECT_EQ(decoder.FieldValue(6), 11);
    EXPECT_EQ(decoder.FieldText(7), "");
    EXPECT_EQ(decoder.FieldValue(7), 2);
    EXPECT_EQ(decoder.FieldValue(8), 3);
    EXPECT_EQ(decoder.FieldText(8), "3");

    EXPECT_EQ(DecodeError(decoder, Frame({"2147483648"})), "'2147483648' is not a valid integer value");
}

TEST_F(FrameDecoderTest, BadReadingBeyondThePlottedRangeStillRaises)
{
    std::vector<std::string> readings(600 - 5, "1");
    readings.back() = "1?";
    int field = 0;
    EXPECT_EQ(DecodeError(decoder, Frame(readings), &field), "'1?' is not a valid integer value");
    EXPECT_EQ(field, 600);
    EXPECT_EQ(decoder.FieldValue(599), 1);
}

TEST_F(FrameDecoderTest, UnfinishedFieldBeforeTheEndIsDropped)
{
    decoder.Decode(Frame({"5", "6", "7"}));
    EXPECT_TRUE(decoder.Decode(Header + "100\r\n77e"));
    EXPECT_EQ(decoder.FieldValue(6), 100);
    EXPECT_EQ(decoder.FieldValue(7), 6);
    EXPECT_EQ(decoder.FieldText(7), "6");
}

TEST_F(FrameDecoderTest, NothingAfterTheFirstEIsLookedAt)
{
    EXPECT_TRUE(decoder.Decode(Header + "1\r\ne\r\nbad\r\n2\r\ne"));
    EXPECT_EQ(decoder.FieldValue(6), 1);
    EXPECT_EQ(decoder.FieldValue(7), 0);
    EXPECT_EQ(decoder.FieldText(7), "");
}

TEST_F(FrameDecoderTest, LogWithoutAnEStoresWhatWasClosedAndSaysSo)
{
    EXPECT_FALSE(decoder.Decode(Header + "8\r\n9\r\n10"));
    EXPECT_EQ(decoder.FieldValue(6), 8);
    EXPECT_EQ(decoder.FieldValue(7), 9);
    EXPECT_EQ(decoder.FieldValue(8), 0);
    EXPECT_FALSE(decoder.Decode(""));
}

TEST_F(FrameDecoderTest, FieldsBeyondTheTableAreIgnored)
{
    std::vector<std::string> readings(TFrameDecoder::MaxFields - 5, "3");
    readings.back() = "4";
    for (int i = 0; i < 50; ++i)
        readings.push_back("not a number");
    EXPECT_TRUE(decoder.Decode(Frame(readings)));
    EXPECT_EQ(decoder.FieldValue(TFrameDecoder::MaxFields), 4);
    EXPECT_EQ(decoder.FieldValue(TFrameDecoder::MaxFields - 1), 3);
}

TEST_F(FrameDecoderTest, OffsetAndGainScaleEveryPoint)
{
    decoder.Decode(Frame({"100", "0", "300"}));
    decoder.ReadScale("10", "2");
    EXPECT_EQ(decoder.OffsetValue(), 10);
    EXPECT_EQ(decoder.GainValue(), 2);
    EXPECT_EQ(decoder.PlotY(6), 46);
    EXPECT_EQ(decoder.PlotY(7), 246);

    decoder.ReadScale("0", "1");
    EXPECT_EQ(decoder.PlotY(7), 256);
    EXPECT_EQ(decoder.PlotY(8), -44);

    decoder.ReadScale("5", "abc");
    EXPECT_EQ(decoder.GainValue(), 0);
    for (int x = TFrameDecoder::FirstPlottedField; x <= TFrameDecoder::LastPlottedField; ++x)
        EXPECT_EQ(decoder.PlotY(x), 251) << x;
}

TEST_F(FrameDecoderTest, ScalingWrapsInSigned32BitArithmetic)
{
    decoder.Decode(Frame({"2147483647", "0", "-2147483648"}));
    decoder.ReadScale("0", "2");
    EXPECT_EQ(decoder.PlotY(6), 258); // 2147483647 * 2 wraps to -2
    decoder.ReadScale("-2147483648", "1");
    EXPECT_EQ(decoder.PlotY(7), -2147483392);
    decoder.ReadScale("1", "-1");
    EXPECT_EQ(decoder.PlotY(8), -2147483393);
    decoder.ReadScale("0", "2147483648");
    EXPECT_EQ(decoder.GainValue(), INT_MIN);
    EXPECT_EQ(decoder.PlotY(6), INT_MIN + 256);
}

} // namespace
