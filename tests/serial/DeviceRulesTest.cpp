#include "serial/posix/CommTimeoutRules.h"
#include "serial/posix/LineInputDecoder.h"
#include "serial/posix/ReceiveQueue.h"
#include "serial/posix/TermiosMapping.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace {

TDeviceControlBlock Block8N1(std::uint32_t rate)
{
    TDeviceControlBlock dcb;
    dcb.BaudRate = rate;
    dcb.Flags = Comm::DcbBinary;
    dcb.ByteSize = 8;
    dcb.XonChar = 17;
    dcb.XoffChar = 19;
    return dcb;
}

TTermiosMapping Map(const TDeviceControlBlock& dcb, bool markLineStatus = false)
{
    termios2 current{};
    current.c_lflag = ICANON | ECHO | ISIG;
    current.c_oflag = OPOST;
    current.c_iflag = ICRNL | IXANY;
    return MapToTermios(dcb, current, markLineStatus);
}

TEST(TermiosMappingTest, RawEightBitLineWithoutFlowControl)
{
    const TTermiosMapping mapping = Map(Block8N1(115200));
    ASSERT_EQ(mapping.Error, 0);
    const termios2& t = mapping.Termios;
    EXPECT_EQ(t.c_iflag, 0u);
    EXPECT_EQ(t.c_oflag, 0u);
    EXPECT_EQ(t.c_lflag, 0u);
    EXPECT_EQ(t.c_cflag, static_cast<tcflag_t>(CS8 | CREAD | CLOCAL | HUPCL | B115200));
    EXPECT_EQ(t.c_ospeed, 115200u);
    EXPECT_EQ(t.c_cc[VMIN], 1);
    EXPECT_EQ(t.c_cc[VTIME], 0);
    EXPECT_EQ(t.c_cc[VSTART], 17);
    EXPECT_EQ(t.c_cc[VSTOP], 19);
    EXPECT_EQ(mapping.Dtr, TLineLevel::Off);
    EXPECT_EQ(mapping.Rts, TLineLevel::Off);
}

TEST(TermiosMappingTest, RatesWithoutACodeUseBother)
{
    for (const std::uint32_t rate : {14400u, 56000u, 128000u, 256000u, 31250u, 12345678u}) {
        const termios2 t = Map(Block8N1(rate)).Termios;
        EXPECT_EQ(t.c_cflag & CBAUD, static_cast<tcflag_t>(BOTHER)) << rate;
        EXPECT_EQ(t.c_ospeed, rate);
        EXPECT_EQ(t.c_ispeed, rate);
    }
    EXPECT_EQ(Map(Block8N1(110)).Termios.c_cflag & CBAUD, static_cast<tcflag_t>(B110));
    EXPECT_EQ(Map(Block8N1(0)).Error, EINVAL);
    EXPECT_EQ(Map(Block8N1(0x80000000u)).Error, EINVAL);
}

TEST(TermiosMappingTest, DataBitsParityAndStopBits)
{
    TDeviceControlBlock dcb = Block8N1(9600);
    const tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
    for (std::uint8_t bits = 5; bits <= 8; ++bits) {
        dcb.ByteSize = bits;
        EXPECT_EQ(Map(dcb).Termios.c_cflag & CSIZE, sizes[bits - 5]);
    }
    dcb.ByteSize = 7;
    const tcflag_t parities[] = {0, PARENB | PARODD, PARENB, PARENB | CMSPAR | PARODD, PARENB | CMSPAR};
    for (std::uint8_t parity = 0; parity <= 4; ++parity) {
        dcb.Parity = parity;
        EXPECT_EQ(Map(dcb).Termios.c_cflag & (PARENB | PARODD | CMSPAR), parities[parity]) << int(parity);
    }
    dcb.StopBits = 2;
    EXPECT_TRUE(Map(dcb).Termios.c_cflag & CSTOPB);
    // With five data bits the UART's "two" stop bits are one and a half.
    dcb.ByteSize = 5;
    dcb.StopBits = 1;
    EXPECT_TRUE(Map(dcb).Termios.c_cflag & CSTOPB);
}

TEST(TermiosMappingTest, CombinationsTheDriverRefuses)
{
    TDeviceControlBlock dcb = Block8N1(9600);
    dcb.StopBits = 1;
    EXPECT_EQ(Map(dcb).Error, EINVAL);
    dcb.ByteSize = 5;
    dcb.StopBits = 2;
    EXPECT_EQ(Map(dcb).Error, EINVAL);
    dcb = Block8N1(9600);
    dcb.ByteSize = 9;
    EXPECT_EQ(Map(dcb).Error, EINVAL);
    dcb = Block8N1(9600);
    dcb.Parity = 5;
    EXPECT_EQ(Map(dcb).Error, EINVAL);
    dcb = Block8N1(9600);
    dcb.XoffChar = dcb.XonChar;
    EXPECT_EQ(Map(dcb).Error, EINVAL);
}

TEST(TermiosMappingTest, FlowControlFlagsGoWhereTheKernelReadsThem)
{
    TDeviceControlBlock dcb = Block8N1(9600);
    dcb.Flags |= Comm::DcbOutxCtsFlow | Comm::DcbRtsControlHandshake;
    TTermiosMapping mapping = Map(dcb);
    EXPECT_TRUE(mapping.Termios.c_cflag & CRTSCTS);
    EXPECT_FALSE(mapping.Termios.c_iflag & CRTSCTS);
    EXPECT_EQ(mapping.Rts, TLineLevel::Kernel);

    dcb = Block8N1(9600);
    dcb.Flags |= Comm::DcbOutX | Comm::DcbInX | Comm::DcbDtrControlEnable | Comm::DcbRtsControlEnable;
    dcb.XonChar = 'A';
    dcb.XoffChar = 'B';
    mapping = Map(dcb);
    EXPECT_EQ(mapping.Termios.c_iflag, static_cast<tcflag_t>(IXON | IXOFF));
    EXPECT_FALSE(mapping.Termios.c_cflag & CRTSCTS);
    EXPECT_EQ(mapping.Termios.c_cc[VSTART], 'A');
    EXPECT_EQ(mapping.Termios.c_cc[VSTOP], 'B');
    EXPECT_EQ(mapping.Dtr, TLineLevel::On);
    EXPECT_EQ(mapping.Rts, TLineLevel::On);
}

TEST(TermiosMappingTest, ParityCheckAndLineStatusMarkErrorsInTheInput)
{
    TDeviceControlBlock dcb = Block8N1(9600);
    dcb.Flags |= Comm::DcbParity;
    EXPECT_EQ(Map(dcb).Termios.c_iflag, static_cast<tcflag_t>(INPCK | PARMRK));
    EXPECT_EQ(Map(Block8N1(9600), true).Termios.c_iflag, static_cast<tcflag_t>(PARMRK));
}

TEST(CommTimeoutRulesTest, ReadRules)
{
    using std::chrono::milliseconds;
    const std::uint32_t all = Comm::MaxDword;
    TReadTimeouts atOnce;
    atOnce.ReturnAtOnce = true;
    EXPECT_EQ(ReadTimeoutsFor({all, 0, 0, 0, 0}, 10), atOnce);

    TReadTimeouts firstBytes;
    firstBytes.FirstBytesEnd = true;
    firstBytes.Total = milliseconds(250);
    EXPECT_EQ(ReadTimeoutsFor({all, all, 250, 0, 0}, 10), firstBytes);

    TReadTimeouts totals;
    totals.Total = milliseconds(10 * 20 + 5);
    totals.Interval = milliseconds(7);
    EXPECT_EQ(ReadTimeoutsFor({7, 20, 5, 0, 0}, 10), totals);

    // An all-ones interval is no interval; zero totals and interval: no limit.
    TReadTimeouts constantOnly;
    constantOnly.Total = milliseconds(100);
    EXPECT_EQ(ReadTimeoutsFor({all, 0, 100, 0, 0}, 10), constantOnly);
    EXPECT_EQ(ReadTimeoutsFor({0, 0, 0, 0, 0}, 10), TReadTimeouts{});

    EXPECT_EQ(WriteTimeLimit({0, 0, 0, 100, 1000}, 3), milliseconds(1300));
    EXPECT_EQ(WriteTimeLimit({0, 0, 0, 0, 0}, 3), std::nullopt);
    EXPECT_EQ(WriteTimeLimit({0, 0, 0, all, all}, 0x7FFFFFFF), std::nullopt);
}

std::string Decode(TLineInputDecoder& decoder, const std::string& input, TLineInputDecoder::TResult* result = nullptr)
{
    std::string output(input.size() + 1, '\0');
    const auto decoded = decoder.Decode(reinterpret_cast<const std::uint8_t*>(input.data()), input.size(),
                                        reinterpret_cast<std::uint8_t*>(output.data()));
    if (result)
        *result = decoded;
    output.resize(decoded.Length);
    return output;
}

TEST(LineInputDecoderTest, MarkedInputGivesDataBreaksAndErrors)
{
    using namespace std::string_literals;
    TLineInputDecoder decoder;
    decoder.SetOptions({true, false, 0, false});
    TLineInputDecoder::TResult result;
    EXPECT_EQ(Decode(decoder, "a\xff\xff" "b"s, &result), "a\xff" "b"s);
    EXPECT_FALSE(result.Break || result.Error);
    EXPECT_EQ(Decode(decoder, "x\xff\0\0y"s, &result), "xy");
    EXPECT_TRUE(result.Break);
    EXPECT_EQ(Decode(decoder, "\xff\0q"s, &result), "q");
    EXPECT_TRUE(result.Error);

    // A mark split across reads is finished by the next one.
    EXPECT_EQ(Decode(decoder, "z\xff"s), "z");
    EXPECT_EQ(Decode(decoder, "\xff"s), "\xff"s);
    EXPECT_EQ(Decode(decoder, "\xff\0"s), "");
    EXPECT_EQ(Decode(decoder, "k"s, &result), "k");
    EXPECT_TRUE(result.Error);

    decoder.SetOptions({true, true, '?', true});
    EXPECT_EQ(Decode(decoder, "\xff\0q\0r\xff\0\0"s, &result), "?r");
    EXPECT_TRUE(result.Error && result.Break);

    decoder.SetOptions({false, false, 0, true});
    EXPECT_EQ(Decode(decoder, "\xff\0\0a"s), "\xff" "a"s);
}

TEST(ReceiveQueueTest, WrapsAroundAndKeepsBytesWhenShrunk)
{
    TReceiveQueue queue(8);
    const std::uint8_t bytes[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    std::uint8_t out[10] = {};
    EXPECT_EQ(queue.Push(bytes, 6), 6u);
    EXPECT_EQ(queue.Pop(out, 4), 4u);
    EXPECT_EQ(queue.Push(bytes + 6, 4), 4u);
    EXPECT_EQ(queue.Push(bytes, 10), 2u);
    EXPECT_EQ(queue.Free(), 0u);
    EXPECT_EQ(queue.Pop(out, 10), 8u);
    const std::uint8_t expected[] = {5, 6, 7, 8, 9, 10, 1, 2};
    EXPECT_TRUE(std::equal(expected, expected + 8, out));

    queue.Push(bytes, 8);
    queue.SetCapacity(4);
    EXPECT_EQ(queue.Count(), 8u);
    EXPECT_EQ(queue.Free(), 0u);
    EXPECT_EQ(queue.Pop(out, 5), 5u);
    EXPECT_EQ(queue.Free(), 1u);
    EXPECT_EQ(queue.Push(bytes, 3), 1u);
    EXPECT_EQ(queue.Pop(out, 10), 4u);
    const std::uint8_t rest[] = {6, 7, 8, 1};
    EXPECT_TRUE(std::equal(rest, rest + 4, out));
}

} // namespace
