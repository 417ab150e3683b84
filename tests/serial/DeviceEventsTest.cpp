#include "serial/CPort.h"
#include "serial/ManualResetEvent.h"
#include "serial/posix/PosixComDevice.h"

#include "support/PtyPair.h"

#include <gtest/gtest.h>

#include <poll.h>

#include <cerrno>
#include <future>
#include <thread>

namespace {

using namespace std::chrono_literals;
using TWaitResult = TComDevice::TWaitResult;

// A device open on a pseudo-terminal with the event character 'e', and an
// event wait run on another thread the way the port's event thread runs it.
class DeviceEventsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        int osError = 0;
        device = TPosixComDevice::Open(pty.SlavePath(), osError);
        ASSERT_TRUE(device) << osError;
        TComPort settings;
        settings.SetEventChar('e');
        ASSERT_EQ(device->SetState(MakeDeviceControlBlock(settings)), 0);
        ASSERT_EQ(device->SetTimeouts(MakeCommTimeouts(settings.Timeouts())), 0);
    }

    std::future<TWaitResult> WaitOnOtherThread()
    {
        const int started = device->StartEventWait(wait);
        EXPECT_TRUE(started == 0 || started == TComDevice::IoPending) << started;
        return std::async(std::launch::async, [this] { return device->Wait(wait, &stop); });
    }

    // The outcome of a wait that must end; one that hangs is stopped so the
    // test fails instead of hanging.
    TWaitResult Outcome(std::future<TWaitResult>& result)
    {
        if (result.wait_for(20s) != std::future_status::ready) {
            ADD_FAILURE() << "the event wait did not end";
            stop.Set();
        }
        return result.get();
    }

    std::string ReadAll()
    {
        TOverlapped read;
        char buffer[256];
        EXPECT_EQ(device->StartRead(read, buffer, sizeof buffer), 0);
        return std::string(buffer, read.Transferred());
    }

    TPtyPair pty;
    std::unique_ptr<TPosixComDevice> device;
    TOverlapped wait;
    TManualResetEvent stop;
};

TEST_F(DeviceEventsTest, ReceivedCharactersAndTheEventCharacterCompleteTheWait)
{
    ASSERT_EQ(device->SetEventMask(Comm::EvRxChar | Comm::EvRxFlag | Comm::EvTxEmpty), 0);
    auto result = WaitOnOtherThread();
    std::this_thread::sleep_for(20ms);
    EXPECT_TRUE(wait.Busy());
    pty.Send("abc");
    ASSERT_EQ(Outcome(result), TWaitResult::Completed);
    EXPECT_EQ(wait.Error(), 0);
    EXPECT_EQ(wait.EventMask(), Comm::EvRxChar);
    EXPECT_EQ(ReadAll(), "abc");

    // The event character is seen as it enters the queue, even when the
    // bytes are read before the waiter looks.
    result = WaitOnOtherThread();
    pty.Send("frame\r");
    std::string received;
    while (received.size() < 6)
        received += ReadAll();
    ASSERT_EQ(Outcome(result), TWaitResult::Completed);
    EXPECT_EQ(wait.EventMask() & Comm::EvRxFlag, Comm::EvRxFlag);
    EXPECT_EQ(received, "frame\r");
}

TEST_F(DeviceEventsTest, EventsWithoutAPendingWaitCompleteTheNextAtOnce)
{
    device->SetEventMask(Comm::EvRxChar | Comm::EvRxFlag);
    pty.Send("e");
    while (ReadAll().empty()) {
    }
    EXPECT_EQ(device->StartEventWait(wait), 0);
    EXPECT_EQ(wait.EventMask(), Comm::EvRxChar | Comm::EvRxFlag);

    // Events outside the mask are not recorded; setting the mask drops what was.
    device->SetEventMask(Comm::EvRxFlag);
    pty.Send("x");
    while (ReadAll().empty()) {
    }
    EXPECT_EQ(device->StartEventWait(wait), TComDevice::IoPending);
    device->SetEventMask(Comm::EvRxChar);
    EXPECT_FALSE(wait.Busy());
    EXPECT_EQ(wait.EventMask(), 0u);

    EXPECT_EQ(device->StartEventWait(wait), TComDevice::IoPending);
    TOverlapped second;
    EXPECT_EQ(device->StartEventWait(second), EINVAL);
    EXPECT_EQ(device->StartEventWait(wait), EBUSY);
}

TEST_F(DeviceEventsTest, BytesLeftInTheKernelBetweenWaitsCompleteTheNextWait)
{
    device->SetEventMask(Comm::EvRxChar | Comm::EvRxFlag);
    pty.Send("xe");
    // Nothing has entered the device yet: the wait's own poll finds the bytes.
    std::this_thread::sleep_for(20ms);
    auto result = WaitOnOtherThread();
    ASSERT_EQ(Outcome(result), TWaitResult::Completed);
    EXPECT_EQ(wait.EventMask(), Comm::EvRxChar | Comm::EvRxFlag);
    EXPECT_EQ(ReadAll(), "xe");
}

TEST_F(DeviceEventsTest, StopEventStateAndDescriptorAgree)
{
    auto readable = [this] {
        pollfd entry{stop.Fd(), POLLIN, 0};
        return poll(&entry, 1, 0) == 1;
    };
    const struct {
        void (TManualResetEvent::*change)();
        bool set;
    } steps[] = {{&TManualResetEvent::Set, true},    {&TManualResetEvent::Set, true},
                 {&TManualResetEvent::Reset, false}, {&TManualResetEvent::Reset, false},
                 {&TManualResetEvent::Set, true}};
    for (const auto& step : steps) {
        (stop.*step.change)();
        EXPECT_EQ(stop.IsSet(), step.set);
        EXPECT_EQ(readable(), step.set);
    }
    stop.Wait();  // returns at once while set
}

TEST_F(DeviceEventsTest, SettingTheMaskCompletesAPendingWaitWithNoEvents)
{
    device->SetEventMask(Comm::EvRxChar);
    auto result = WaitOnOtherThread();
    std::this_thread::sleep_for(20ms);
    device->SetEventMask(0);
    ASSERT_EQ(Outcome(result), TWaitResult::Completed);
    EXPECT_EQ(wait.Error(), 0);
    EXPECT_EQ(wait.EventMask(), 0u);
}

TEST_F(DeviceEventsTest, StopEndsTheWaitAndComesFirst)
{
    device->SetEventMask(Comm::EvRxChar);
    auto result = WaitOnOtherThread();
    std::this_thread::sleep_for(20ms);
    stop.Set();
    EXPECT_EQ(Outcome(result), TWaitResult::Stop);
    EXPECT_TRUE(wait.Busy());

    // A completed wait and a signalled stop: the stop wins.
    pty.Send("z");
    std::uint32_t errors = 0;
    TCommStatus status;
    while (wait.Busy())
        device->ClearError(errors, status);
    EXPECT_EQ(device->Wait(wait, &stop), TWaitResult::Stop);
}

TEST_F(DeviceEventsTest, OutputDrainedAfterAWrite)
{
    device->SetEventMask(Comm::EvTxEmpty);
    auto result = WaitOnOtherThread();
    std::this_thread::sleep_for(20ms);
    EXPECT_TRUE(wait.Busy());
    TOverlapped write;
    EXPECT_EQ(device->StartWrite(write, "ping", 4), 0);
    ASSERT_EQ(Outcome(result), TWaitResult::Completed);
    EXPECT_EQ(wait.EventMask(), Comm::EvTxEmpty);
    EXPECT_EQ(pty.Receive(4), "ping");
}

TEST_F(DeviceEventsTest, FullQueueKeepsTheRestInTheKernelUntilThereIsRoom)
{
    ASSERT_EQ(device->SetupQueues(100, 100), 0);
    device->SetEventMask(Comm::EvRxChar | Comm::EvRx80Full);
    auto result = WaitOnOtherThread();
    pty.Send(std::string(300, 'q'));
    std::uint32_t events = 0;
    while (!(events & Comm::EvRx80Full)) {
        ASSERT_EQ(Outcome(result), TWaitResult::Completed);
        events |= wait.EventMask();
        result = WaitOnOtherThread();
    }
    std::uint32_t errors = 0;
    TCommStatus status;
    ASSERT_EQ(device->ClearError(errors, status), 0);
    EXPECT_EQ(status.InQueue, 100u);
    EXPECT_EQ(errors, 0u);

    // Reading makes room; the kernel's bytes come in and complete the wait.
    std::string received = ReadAll();
    ASSERT_EQ(Outcome(result), TWaitResult::Completed);
    EXPECT_TRUE(wait.EventMask() & Comm::EvRxChar);
    while (received.size() < 300)
        received += ReadAll();
    EXPECT_EQ(received, std::string(300, 'q'));
}

TEST_F(DeviceEventsTest, WaiterOnAFullQueueSleepsAndListensAgainOnceThereIsRoom)
{
    ASSERT_EQ(device->SetupQueues(100, 100), 0);
    device->SetEventMask(Comm::EvRx80Full);
    auto result = WaitOnOtherThread();
    pty.Send(std::string(100, 'q'));
    ASSERT_EQ(Outcome(result), TWaitResult::Completed);

    // Full queue, empty kernel: the waiter sleeps without the descriptor
    // in its poll set, using no CPU.
    device->SetEventMask(Comm::EvRxChar);
    result = WaitOnOtherThread();
    const auto cpuBefore = ProcessCpuTime();
    std::this_thread::sleep_for(300ms);
    EXPECT_LT(ProcessCpuTime() - cpuBefore, 100ms);
    EXPECT_TRUE(wait.Busy());

    // Room is made on this thread; the waiter must start listening again,
    // since nothing else will come into the device.
    TOverlapped read;
    char buffer[10];
    EXPECT_EQ(device->StartRead(read, buffer, sizeof buffer), 0);
    std::this_thread::sleep_for(20ms);
    EXPECT_TRUE(wait.Busy());
    pty.Send("x");
    ASSERT_EQ(Outcome(result), TWaitResult::Completed);
    EXPECT_EQ(wait.EventMask(), Comm::EvRxChar);
}

TEST_F(DeviceEventsTest, WaitOnAVanishedDeviceFailsAndUsesNoCpu)
{
    device->SetEventMask(Comm::EvRxChar);
    auto result = WaitOnOtherThread();
    std::this_thread::sleep_for(20ms);
    const auto cpuBefore = ProcessCpuTime();
    pty.CloseMaster();
    EXPECT_EQ(Outcome(result), TWaitResult::Failed);
    EXPECT_FALSE(wait.Busy());
    EXPECT_EQ(wait.Error(), EIO);

    // Every later wait fails at once; nothing polls the dead descriptor.
    EXPECT_EQ(device->StartEventWait(wait), EIO);
    EXPECT_EQ(device->Wait(wait, &stop), TWaitResult::Failed);
    std::this_thread::sleep_for(500ms);
    EXPECT_LT(ProcessCpuTime() - cpuBefore, 150ms);
    EXPECT_EQ(device->SetEventMask(0), EIO);
    EXPECT_EQ(device->Purge(Comm::PurgeTxAbort | Comm::PurgeRxAbort), 0);
}

TEST_F(DeviceEventsTest, ClosingTheDeviceCancelsAPendingWait)
{
    device->SetEventMask(Comm::EvRxChar);
    EXPECT_EQ(device->StartEventWait(wait), TComDevice::IoPending);
    device.reset();
    EXPECT_FALSE(wait.Busy());
    EXPECT_EQ(wait.Error(), ECANCELED);
}

} // namespace
