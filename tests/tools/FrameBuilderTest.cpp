#include "simulator/FrameBuilder.h"

#include "app/FrameDecoder.h"
#include "common/Exception.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::string Build(const std::vector<int>& readings, TLineEnd lineEnd, int malformedField = 0)
{
    std::string frame;
    AppendFrame(frame, {3, -5, 5 + static_cast<int>(readings.size())}, readings, lineEnd, malformedField);
    return frame;
}

TEST(FrameBuilderTest, WritesHeaderReadingsAndTheClosingE)
{
    EXPECT_EQ(Build({1, 22}, TLineEnd::CrLf),
              "SIMULATOR\r\nFRAME 3\r\nEXPOSURE -5\r\nFIELDS 7\r\nREADINGS 2\r\n1\r\n22\r\ne");
    EXPECT_EQ(Build({0}, TLineEnd::Lf), "SIMULATOR\nFRAME 3\nEXPOSURE -5\nFIELDS 6\nREADINGS 1\n0\ne");
    EXPECT_EQ(Build({255, 9}, TLineEnd::LfCr, 7),
              "SIMULATOR\n\rFRAME 3\n\rEXPOSURE -5\n\rFIELDS 7\n\rREADINGS 2\n\r255\n\r9?\n\re");
}

TEST(FrameBuilderTest, FramesDecodeBackToTheirReadings)
{
    std::vector<int> readings;
    for (int i = 0; i < 507; ++i)
        readings.push_back(i % 256);
    auto decoder = std::make_unique<TFrameDecoder>();
    for (const TLineEnd lineEnd : {TLineEnd::CrLf, TLineEnd::LfCr}) {
        EXPECT_TRUE(decoder->Decode(QByteArray::fromStdString(Build(readings, lineEnd))));
        EXPECT_EQ(decoder->FieldText(3), "EXPOSURE -5");
        for (int field = 6; field <= 512; ++field)
            ASSERT_EQ(decoder->FieldValue(field), readings[static_cast<size_t>(field - 6)]);
    }
}

TEST(FrameBuilderTest, MalformedFieldStopsTheDecoderThere)
{
    auto decoder = std::make_unique<TFrameDecoder>();
    EXPECT_THROW(decoder->Decode(QByteArray::fromStdString(Build({1, 2, 3}, TLineEnd::CrLf, 7))), EConvertError);
    EXPECT_EQ(decoder->FieldText(7), "2?");
    EXPECT_EQ(decoder->FieldValue(6), 1);
    EXPECT_EQ(decoder->FieldValue(8), 0);
}

} // namespace
