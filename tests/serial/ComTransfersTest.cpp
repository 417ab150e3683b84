#include "serial/CPort.h"

#include "support/PtyPair.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

class ComTransfersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        port.SetPort(pty.SlavePath());
        port.Connect();
    }

    TPtyPair pty;
    TComPort port;
};

TEST_F(ComTransfersTest, ReadReturnsAtOnceWithWhatHasArrived)
{
    std::string text = "unchanged";
    EXPECT_EQ(port.ReadText(text, 10), 0);
    EXPECT_EQ(text, "");

    pty.Send("abcd");
    while (port.InputQueueCount() < 4) {
    }
    EXPECT_EQ(port.ReadText(text, 10), 4);
    EXPECT_EQ(text, "abcd");
    EXPECT_EQ(port.InputQueueCount(), 0);

    EXPECT_EQ(port.ReadText(text, 0), 0);
    EXPECT_EQ(text, "");
    EXPECT_EQ(port.ReadText(text, -5), 0);
}

TEST_F(ComTransfersTest, WrittenBytesReachTheDeviceInOrder)
{
    EXPECT_EQ(port.WriteText("hello "), 6);
    auto record = NewTransfer();
    const std::string tail = "world";
    const std::int32_t atOnce = port.BeginWriteText(tail, record.get());
    EXPECT_TRUE(atOnce == 0 || atOnce == 5);
    EXPECT_EQ(port.WaitTransfer(record.get()), 5);
    FreeTransfer(record);
    EXPECT_EQ(record, nullptr);
    EXPECT_EQ(pty.Receive(11), "hello world");

    // Bytes 0..255 pass unchanged both ways.
    std::string all;
    for (int code = 0; code < 256; ++code)
        all += static_cast<char>(code);
    EXPECT_EQ(port.WriteText(all), 256);
    EXPECT_EQ(pty.Receive(256), all);
    pty.Send(all);
    std::string received;
    while (received.size() < all.size()) {
        std::string part;
        port.ReadText(part, 256);
        received += part;
    }
    EXPECT_EQ(received, all);
}

TEST_F(ComTransfersTest, RecordThatNeverStartedCompletesAtOnceWithNothing)
{
    auto record = NewTransfer();
    EXPECT_FALSE(record->Overlapped.Busy());
    EXPECT_EQ(port.WaitTransfer(record.get()), 0);
    EXPECT_EQ(port.BeginWriteText("", record.get()), 0);
    EXPECT_EQ(port.WaitTransfer(record.get()), 0);
    try {
        port.WaitTransfer(nullptr);
        FAIL() << "no error";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.FailureCode(), 4);
        EXPECT_STREQ(error.what(), "Invalid Async parameter");
    }
}

TEST_F(ComTransfersTest, WriteOutOfTimeCompletesShortWithoutError)
{
    port.Timeouts().SetWriteTotalMultiplier(0);
    port.Timeouts().SetWriteTotalConstant(200);
    // The far side never reads: the kernel's buffer fills and stays full.
    const std::string block(1 << 20, 'x');
    const std::int32_t written = port.WriteText(block);
    EXPECT_GT(written, 0);
    EXPECT_LT(written, static_cast<std::int32_t>(block.size()));
    EXPECT_TRUE(port.Connected());
}

TEST_F(ComTransfersTest, ReadsFollowTheTimeoutRules)
{
    // Total time-out: the read ends with what came.
    port.Timeouts().SetReadInterval(0);
    port.Timeouts().SetReadTotalConstant(50);
    pty.Send("xyz");
    std::string text;
    EXPECT_EQ(port.ReadText(text, 10), 3);
    EXPECT_EQ(text, "xyz");

    // Enough bytes end the read before any time-out.
    port.Timeouts().SetReadTotalConstant(0x7FFFFFF0);
    pty.Send("0123456789");
    EXPECT_EQ(port.ReadText(text, 4), 4);
    EXPECT_EQ(text, "0123");

    // The interval ends a read once bytes have come.
    port.Timeouts().SetReadInterval(30);
    EXPECT_EQ(port.ReadText(text, 100), 6);
    EXPECT_EQ(text, "456789");

    // All ones, all ones and a constant: the queued bytes end it at once.
    port.Timeouts().SetReadInterval(-1);
    port.Timeouts().SetReadTotalMultiplier(-1);
    pty.Send("q");
    EXPECT_EQ(port.ReadText(text, 100), 1);
    EXPECT_EQ(text, "q");
}

TEST_F(ComTransfersTest, CancelAbortsPendingTransfers)
{
    port.CancelTransfers();

    port.Timeouts().SetReadTotalConstant(0x7FFFFFF0);
    port.Timeouts().SetReadInterval(0);
    auto record = NewTransfer();
    char buffer[16];
    EXPECT_EQ(port.BeginRead(buffer, sizeof buffer, record.get()), 0);
    EXPECT_TRUE(record->Overlapped.Busy());
    port.CancelTransfers();
    try {
        port.WaitTransfer(record.get());
        FAIL() << "no error";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.FailureCode(), 3);
        EXPECT_EQ(error.OsError(), ECANCELED);
    }

    // A record freed while its read is pending is forgotten by the device.
    EXPECT_EQ(port.BeginRead(buffer, sizeof buffer, record.get()), 0);
    FreeTransfer(record);
    pty.Send("late");
    std::string text;
    port.Timeouts().SetReadTotalConstant(0);
    port.Timeouts().SetReadInterval(-1);
    while (port.InputQueueCount() < 4) {
    }
    EXPECT_EQ(port.ReadText(text, 10), 4);
    EXPECT_EQ(text, "late");
}

TEST_F(ComTransfersTest, ClosedPortRefusesTransfersExceptEmptyOnes)
{
    port.Disconnect();
    EXPECT_EQ(port.WriteText(""), 0);
    std::string text;
    EXPECT_EQ(port.ReadText(text, 0), 0);
    try {
        port.WriteText("x");
        FAIL() << "no error";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.FailureCode(), 24);
        EXPECT_EQ(error.OsError(), -1);
        EXPECT_STREQ(error.what(), "Port Not Open");
    }
    char buffer[4];
    EXPECT_THROW(port.ReadData(buffer, 4), EComPort);
}

TEST_F(ComTransfersTest, NegativeCountsAreRefused)
{
    auto record = NewTransfer();
    try {
        port.BeginWrite("x", -1, record.get());
        FAIL() << "no error";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.FailureCode(), 2);
        EXPECT_EQ(error.OsError(), EINVAL);
    }
    EXPECT_THROW(port.BeginRead(nullptr, -1, record.get()), EComPort);
}

TEST_F(ComTransfersTest, VanishedDeviceFailsTransfersAndCannotReopen)
{
    pty.Send("left");
    while (port.InputQueueCount() < 4) {
    }
    pty.CloseMaster();

    // What came before the device went is still delivered.
    std::string text;
    EXPECT_EQ(port.ReadText(text, 10), 4);
    EXPECT_EQ(text, "left");
    try {
        port.ReadText(text, 10);
        FAIL() << "no error";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.FailureCode(), 3);
        EXPECT_EQ(error.OsError(), EIO);
        EXPECT_STREQ(error.what(), "ReadFile function failed (Error: 5)");
    }
    try {
        port.WriteText("x");
        FAIL() << "no error";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.FailureCode(), 2);
        EXPECT_EQ(error.OsError(), EIO);
    }
    EXPECT_THROW(port.InputQueueCount(), EComPort);
    EXPECT_THROW(port.LineSignals(), EComPort);

    port.Disconnect();
    EXPECT_FALSE(port.Connected());
    try {
        port.Connect();
        FAIL() << "no error";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.FailureCode(), 1);
        EXPECT_GT(error.OsError(), 0);
    }
    EXPECT_FALSE(port.Connected());
}

TEST_F(ComTransfersTest, DeviceWithoutModemLinesReportsLinesOffAndNoErrors)
{
    EXPECT_TRUE(port.LineSignals().Empty());
    EXPECT_TRUE(port.LineErrors().Empty());
    port.FlowControl().SetControlDTR(dtrEnable);
    port.FlowControl().SetControlRTS(rtsEnable);
    EXPECT_TRUE(port.LineSignals().Empty());
}

TEST_F(ComTransfersTest, UserSpaceInputOptions)
{
    using namespace std::string_literals;
    port.SetDiscardNull(true);
    pty.Send("a\0b\0"s);
    while (port.InputQueueCount() < 2) {
    }
    std::string text;
    EXPECT_EQ(port.ReadText(text, 10), 2);
    EXPECT_EQ(text, "ab");

    // With parity checking the kernel marks the input; 0xFF stays 0xFF.
    port.SetDiscardNull(false);
    port.Parity().SetCheck(true);
    pty.Send("\xff\0c"s);
    while (port.InputQueueCount() < 3) {
    }
    EXPECT_EQ(port.ReadText(text, 10), 3);
    EXPECT_EQ(text, "\xff\0c"s);
    EXPECT_TRUE(port.LineErrors().Empty());
}

} // namespace
