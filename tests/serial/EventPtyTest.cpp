#include "serial/CPort.h"

#include "support/ProcessResources.h"
#include "support/PtyPair.h"
#include "support/TestThreads.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

// Runs the event loop until `done` holds, for at most ten seconds.
bool DeliverUntil(const std::function<bool()>& done)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    return done();
}

// Writes to the far side of a pseudo-terminal without pause until stopped;
// when nobody reads, it waits for room instead of blocking for good.
class Flood {
public:
    explicit Flood(int masterFd) : fd_(masterFd)
    {
        fcntl(fd_, F_SETFL, fcntl(fd_, F_GETFL) | O_NONBLOCK);
        thread_ = std::thread([this] { Run(); });
    }
    ~Flood()
    {
        stop_ = true;
        thread_.join();
    }

private:
    void Run()
    {
        const std::string chunk = "123\r456\r789\re";
        while (!stop_) {
            if (write(fd_, chunk.data(), chunk.size()) < 0 && errno == EAGAIN) {
                pollfd entry{fd_, POLLOUT, 0};
                poll(&entry, 1, 10);
            }
        }
    }

    const int fd_;
    std::atomic<bool> stop_ = false;
    std::thread thread_;
};

class EventPtyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        port.SetPort(pty.SlavePath());
        port.SetBaudRate(br115200);
        port.SetEventChar('e');
    }
    void TearDown() override { port.Disconnect(); }

    TPtyPair pty;
    TComPort port;
};

TEST_F(EventPtyTest, ReceivedCharactersAreRaisedBeforeTheEventCharacterOfTheSameWait)
{
    std::string received;
    std::vector<std::string> atFlag;
    port.OnRxChar = [&](TCustomComPort* sender, std::int32_t count) {
        std::string bytes;
        EXPECT_EQ(sender->ReadText(bytes, count), count);
        received += bytes;
    };
    port.OnRxFlag = [&](TCustomComPort*) { atFlag.push_back(received); };
    port.Connect();
    pty.Send("123\r456\re");
    ASSERT_TRUE(DeliverUntil([&] { return !atFlag.empty(); }));
    EXPECT_EQ(atFlag.front(), "123\r456\re");
    EXPECT_EQ(received, "123\r456\re");
}

TEST_F(EventPtyTest, WithoutRxCharTriggersTheDataArrivesReadInOnRxBuf)
{
    std::string buffered;
    int rxChars = 0;
    port.SetTriggersOnRxChar(false);
    port.OnRxChar = [&](TCustomComPort*, std::int32_t) { ++rxChars; };
    port.OnRxBuf = [&](TCustomComPort*, const void* buffer, std::int32_t count) {
        buffered.append(static_cast<const char*>(buffer), static_cast<std::size_t>(count));
    };
    port.Connect();
    pty.Send("hello");
    ASSERT_TRUE(DeliverUntil([&] { return buffered.size() >= 5; }));
    EXPECT_EQ(buffered, "hello");
    EXPECT_EQ(rxChars, 0);
    EXPECT_EQ(port.InputQueueCount(), 0);

    // Switched back, the next bytes are counted and left for the handler.
    port.SetTriggersOnRxChar(true);
    pty.Send("abc");
    ASSERT_TRUE(DeliverUntil([&] { return rxChars > 0; }));
    EXPECT_EQ(buffered, "hello");
    EXPECT_GT(port.InputQueueCount(), 0);
}

TEST_F(EventPtyTest, PseudoTerminalLinesAreReportedOffAtOpenAndClose)
{
    std::vector<std::string> lines;
    port.OnCTSChange = [&](TCustomComPort*, bool on) { lines.push_back(on ? "CTS on" : "CTS off"); };
    port.OnDSRChange = [&](TCustomComPort*, bool on) { lines.push_back(on ? "DSR on" : "DSR off"); };
    port.OnRLSDChange = [&](TCustomComPort*, bool on) { lines.push_back(on ? "RLSD on" : "RLSD off"); };
    port.Connect();
    port.Disconnect();
    EXPECT_EQ(lines, (std::vector<std::string>{"CTS off", "DSR off", "RLSD off", "CTS off", "DSR off", "RLSD off"}));
}

TEST_F(EventPtyTest, EventWaitOnAVanishedDeviceEndsTheThreadWithoutHanging)
{
    port.Connect();
    port.Disconnect();
    const int threadsClosed = ThreadCount();
    port.Connect();
    ASSERT_EQ(ThreadCount(), threadsClosed + 1);
    pty.CloseMaster();
    // The event thread ends on its own; the port stays open until closed.
    ASSERT_TRUE(DeliverUntil([&] { return ThreadCount() == threadsClosed; }));
    EXPECT_TRUE(port.Connected());
    port.Disconnect();
    EXPECT_FALSE(port.Connected());
}

TEST_F(EventPtyTest, OpenCloseCyclesUnderAFloodLeakNothingAndNeverHang)
{
    std::atomic<int> deliveries = 0;
    port.OnRxChar = [&](TCustomComPort* sender, std::int32_t count) {
        std::string bytes;
        sender->ReadText(bytes, count);
        ++deliveries;
    };
    port.OnRxFlag = [&](TCustomComPort*) { ++deliveries; };
    // The first open sets up what lives as long as the process.
    port.Connect();
    port.Disconnect();
    const int descriptors = OpenDescriptorCount();
    const int threads = ThreadCount();

    Flood flood(pty.MasterFd());
    const TSyncMethod modes[] = {smThreadSync, smWindowSync, smNone};
    for (int cycle = 0; cycle < 100; ++cycle) {
        port.SetSyncMethod(modes[cycle % 3]);
        port.Connect();
        const int before = deliveries;
        DeliverUntil([&] { return deliveries > before; });
        port.Disconnect();
    }
    EXPECT_GE(deliveries, 100);
    EXPECT_EQ(OpenDescriptorCount(), descriptors);
    EXPECT_EQ(ThreadCount(), threads + 1);  // the flood's own thread
}

} // namespace
