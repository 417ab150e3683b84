#include "serial/CPort.h"

#include "support/PtyPair.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <future>
#include <thread>

namespace {

using namespace std::chrono_literals;

// A read that waits for data far longer than any test runs.
void WaitLongForData(TComPort& port)
{
    port.Timeouts().SetReadInterval(0);
    port.Timeouts().SetReadTotalMultiplier(0);
    port.Timeouts().SetReadTotalConstant(0x7FFFFFF0);
}

// Runs a read on another thread; its failure code and system error.
std::future<std::pair<int, int>> ReadOnOtherThread(TComPort& port)
{
    return std::async(std::launch::async, [&port] {
        char buffer[16];
        try {
            port.ReadData(buffer, sizeof buffer);
        } catch (const EComPort& error) {
            return std::make_pair(error.FailureCode(), error.OsError());
        }
        return std::make_pair(0, 0);
    });
}

// Waits for the other thread's read; a read that hangs is cancelled so the
// test fails instead of hanging.
std::pair<int, int> Outcome(TComPort& port, std::future<std::pair<int, int>>& read)
{
    if (read.wait_for(20s) != std::future_status::ready) {
        ADD_FAILURE() << "the read did not end";
        port.CancelTransfers();
    }
    return read.get();
}

// A port open on a pseudo-terminal with a read pending on another thread.
class DeviceThreadsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        port.SetPort(pty.SlavePath());
        WaitLongForData(port);
        port.Connect();
        read = ReadOnOtherThread(port);
        std::this_thread::sleep_for(50ms);
    }

    TPtyPair pty;
    TComPort port;
    std::future<std::pair<int, int>> read;
};

TEST_F(DeviceThreadsTest, CancelWakesAReadBlockedOnAnotherThread)
{
    port.CancelTransfers();
    EXPECT_EQ(Outcome(port, read), std::make_pair(3, ECANCELED));
}

TEST_F(DeviceThreadsTest, DataCompletesAReadBlockedOnAnotherThread)
{
    port.CancelTransfers();
    read.wait();
    port.Timeouts().SetReadInterval(20);
    auto text = std::async(std::launch::async, [this] {
        std::string received;
        port.ReadText(received, 100);
        return received;
    });
    std::this_thread::sleep_for(50ms);
    pty.Send("spectrum");
    ASSERT_EQ(text.wait_for(20s), std::future_status::ready);
    EXPECT_EQ(text.get(), "spectrum");
}

// The process must not burn CPU on a device that has gone: no thread may
// keep polling a hung-up descriptor.
TEST_F(DeviceThreadsTest, VanishingMidReadFailsTheReadAndUsesNoCpu)
{
    const auto cpuBefore = ProcessCpuTime();
    pty.CloseMaster();
    EXPECT_EQ(Outcome(port, read), std::make_pair(3, EIO));
    // The port stays open on the dead device; nothing may spin meanwhile.
    auto again = ReadOnOtherThread(port);
    EXPECT_EQ(Outcome(port, again), std::make_pair(3, EIO));
    std::this_thread::sleep_for(500ms);
    EXPECT_LT(ProcessCpuTime() - cpuBefore, 150ms);

    EXPECT_TRUE(port.Connected());
    port.Disconnect();
    EXPECT_THROW(port.Connect(), EComPort);
}

TEST_F(DeviceThreadsTest, HungUpLineFailsTheReadAndWorksAgainAfterReopening)
{
    const auto cpuBefore = ProcessCpuTime();
    if (ioctl(pty.SlaveFd(), TIOCVHANGUP) != 0) {
        port.CancelTransfers();
        read.wait();
        GTEST_SKIP() << "hanging up a line needs CAP_SYS_ADMIN";
    }
    EXPECT_EQ(Outcome(port, read), std::make_pair(3, EIO));
    std::this_thread::sleep_for(500ms);
    EXPECT_LT(ProcessCpuTime() - cpuBefore, 150ms);
    EXPECT_THROW(port.WriteText("x"), EComPort);

    // The line is back for a new open.
    port.Disconnect();
    port.Connect();
    EXPECT_EQ(port.WriteText("ok"), 2);
    EXPECT_EQ(pty.Receive(2), "ok");
}

} // namespace
