#include "serial/CPort.h"
#include "serial/EventMask.h"
#include "serial/Synchronizer.h"

#include "common/Application.h"
#include "support/ProcessResources.h"
#include "support/ScriptedDevice.h"
#include "support/TestThreads.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace {

using Script = TScriptedDevice::TScript;

// A port on a scripted device that logs every handler it raises, and the
// thread each ran on.
class EventDispatchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TApplication::SetExceptionPresenter([this](const QString&, const QString& text) { shown.push_back(text); });
        port.SetDeviceOpener(TScriptedDevice::Opener(script));
        port.OnRxChar = [this](TCustomComPort* sender, std::int32_t count) {
            std::string bytes;
            sender->ReadText(bytes, count);
            Log("RxChar " + bytes);
        };
        port.OnRxBuf = [this](TCustomComPort*, const void* buffer, std::int32_t count) {
            Log("RxBuf " + std::string(static_cast<const char*>(buffer), static_cast<std::size_t>(count)));
        };
        port.OnTxEmpty = [this](TCustomComPort*) { Log("TxEmpty"); };
        port.OnBreak = [this](TCustomComPort*) { Log("Break"); };
        port.OnRing = [this](TCustomComPort*) { Log("Ring"); };
        port.OnRxFlag = [this](TCustomComPort*) { Log("RxFlag"); };
        port.OnRx80Full = [this](TCustomComPort*) { Log("Rx80Full"); };
        port.OnCTSChange = [this](TCustomComPort*, bool on) { Log(std::string("CTS ") + (on ? "on" : "off")); };
        port.OnDSRChange = [this](TCustomComPort*, bool on) { Log(std::string("DSR ") + (on ? "on" : "off")); };
        port.OnRLSDChange = [this](TCustomComPort*, bool on) { Log(std::string("RLSD ") + (on ? "on" : "off")); };
        port.OnError = [this](TCustomComPort*, TComErrors errors) { Log("Error " + std::to_string(errors.Bits())); };
        port.OnAfterOpen = [this](TCustomComPort*) { Log("AfterOpen"); };
        port.OnBeforeClose = [this](TCustomComPort*) { Log("BeforeClose"); };
    }
    void TearDown() override
    {
        port.Disconnect();
        TApplication::SetExceptionPresenter({});
    }

    void Log(const std::string& entry)
    {
        std::lock_guard lock(logMutex);
        log.push_back(entry);
        if (!TSynchronizer::IsUiThread())
            offUiThread = true;
    }
    std::vector<std::string> Logged()
    {
        std::lock_guard lock(logMutex);
        return log;
    }
    void ClearLog()
    {
        std::lock_guard lock(logMutex);
        log.clear();
    }
    std::size_t LogSize()
    {
        std::lock_guard lock(logMutex);
        return log.size();
    }
    // Runs the event loop until the log holds `count` entries (bounded).
    bool DeliverUntilLogged(std::size_t count)
    {
        QElapsedTimer timer;
        timer.start();
        while (LogSize() < count && timer.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
        return LogSize() >= count;
    }
    // Runs the event loop for a while: for checks that nothing arrives.
    static void DeliverFor(int milliseconds)
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < milliseconds)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }

    std::shared_ptr<Script> script = std::make_shared<Script>();
    TComPort port;
    std::mutex logMutex;
    std::vector<std::string> log;
    std::atomic<bool> offUiThread = false;
    std::vector<QString> shown;
};

TEST(EventMask, MapsEveryEventToItsBitAndIgnoresOtherBits)
{
    EXPECT_EQ(EventSetToMask(AllComEvents), 0x05FFu);
    EXPECT_EQ(MaskToEventSet(0x05FF), AllComEvents);
    EXPECT_EQ(MaskToEventSet(0xFFFFFFFF), AllComEvents);
    EXPECT_TRUE(MaskToEventSet(0x0200 | 0x0800 | 0xF000).Empty());
    EXPECT_EQ(EventSetToMask({}), 0u);
    const std::pair<TComEvent, std::uint32_t> table[] = {
        {evRxChar, 0x0001}, {evRxFlag, 0x0002}, {evTxEmpty, 0x0004}, {evCTS, 0x0008}, {evDSR, 0x0010},
        {evRLSD, 0x0020},   {evBreak, 0x0040},  {evError, 0x0080},   {evRing, 0x0100}, {evRx80Full, 0x0400}};
    for (const auto& [event, bit] : table) {
        EXPECT_EQ(EventSetToMask({event}), bit);
        EXPECT_EQ(MaskToEventSet(bit), TComEvents{event});
    }
}

TEST_F(EventDispatchTest, OneWaitRaisesItsEventsInTheFixedOrderOnTheUiThread)
{
    port.SetEventChar('e');
    port.Connect();
    ASSERT_TRUE(TScriptedDevice::WaitForEventWaitStarts(*script, 1));
    ClearLog();
    TScriptedDevice::Script(*script, [](Script& s) {
        s.Errors = Comm::CeFrame;
        s.ModemLines = Comm::MsCtsOn | Comm::MsRlsdOn;
        s.Input = "12e";
    });
    TScriptedDevice::Fire(*script, 0x05FF);
    ASSERT_TRUE(DeliverUntilLogged(10));
    const std::vector<std::string> expected = {
        "Error " + std::to_string(TComErrors{ceFrame}.Bits()),
        "RxChar 12e", "TxEmpty", "Break", "Ring", "CTS on", "DSR off", "RxFlag", "RLSD on", "Rx80Full"};
    EXPECT_EQ(Logged(), expected);
    EXPECT_FALSE(offUiThread);
    EXPECT_EQ(script->EventMask, 0x05FFu);
}

TEST_F(EventDispatchTest, WaitsThatFindNothingToReportRaiseNothing)
{
    port.Connect();
    ASSERT_TRUE(TScriptedDevice::WaitForEventWaitStarts(*script, 1));
    ClearLog();
    // A line-error event whose errors are already gone, and received
    // characters with an empty queue.
    TScriptedDevice::Fire(*script, Comm::EvErr | Comm::EvRxChar);
    TScriptedDevice::Fire(*script, Comm::EvRing);
    ASSERT_TRUE(DeliverUntilLogged(1));
    EXPECT_EQ(Logged(), std::vector<std::string>{"Ring"});
}

TEST_F(EventDispatchTest, OnRxBufGetsOnlyTheBytesActuallyRead)
{
    port.SetTriggersOnRxChar(false);
    port.Connect();
    ASSERT_TRUE(TScriptedDevice::WaitForEventWaitStarts(*script, 1));
    ClearLog();
    TScriptedDevice::Script(*script, [](Script& s) { s.Overcounted = 3; });
    TScriptedDevice::Receive(*script, "abcd");
    ASSERT_TRUE(DeliverUntilLogged(1));
    EXPECT_EQ(Logged(), std::vector<std::string>{"RxBuf abcd"});
}

TEST_F(EventDispatchTest, LinesAreReportedRightAfterOpeningAndOffRightBeforeClosing)
{
    script->ModemLines = Comm::MsDsrOn | Comm::MsRlsdOn;
    port.Connect();
    EXPECT_EQ(Logged(), (std::vector<std::string>{"AfterOpen", "CTS off", "DSR on", "RLSD on"}));
    ClearLog();
    port.Disconnect();
    EXPECT_EQ(Logged(), (std::vector<std::string>{"CTS off", "DSR off", "RLSD off", "BeforeClose"}));
}

TEST_F(EventDispatchTest, WithoutEventsNoThreadStartsAndNothingIsRaised)
{
    port.SetEvents({});
    const int threadsBefore = ThreadCount();
    port.Connect();
    EXPECT_FALSE(port.EventThreadStarted());
    EXPECT_EQ(ThreadCount(), threadsBefore);
    ClearLog();
    TScriptedDevice::Receive(*script, "data", 0x05FF);
    DeliverFor(100);
    EXPECT_TRUE(Logged().empty());
    EXPECT_EQ(script->EventWaitStarts, 0);
    EXPECT_EQ(script->MaskChanges, 0);
    // The port still reads.
    std::string text;
    EXPECT_EQ(port.ReadText(text, 10), 4);
    EXPECT_EQ(text, "data");
}

TEST_F(EventDispatchTest, OnlyTheMonitoredEventsAreWaitedFor)
{
    port.SetEvents({evRing, evRLSD});
    port.Connect();
    EXPECT_EQ(script->EventMask, Comm::EvRing | Comm::EvRlsd);
    port.Disconnect();
    // The thread clears the mask and empties the queues when it ends.
    EXPECT_EQ(script->EventMask, 0u);
    EXPECT_GE(script->Purges, 1);
}

TEST_F(EventDispatchTest, SyncMethodCannotChangeWhileConnectedButIsUsedAtTheNextConnect)
{
    port.Connect();
    try {
        port.SetSyncMethod(smNone);
        FAIL() << "the change was accepted while connected";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.FailureCode(), 14);
        EXPECT_STREQ(error.what(), "Cannot set property while connected");
    }
    EXPECT_EQ(port.SyncMethod(), smThreadSync);
    port.Disconnect();

    port.SetSyncMethod(smNone);
    const int starts = script->EventWaitStarts;
    port.Connect();
    ASSERT_TRUE(TScriptedDevice::WaitForEventWaitStarts(*script, starts + 1));
    ClearLog();
    TScriptedDevice::Fire(*script, Comm::EvBreak);
    // Handlers now run on the event thread, without the UI thread's help:
    // the next wait starts once they have run.
    ASSERT_TRUE(TScriptedDevice::WaitForEventWaitStarts(*script, starts + 2));
    EXPECT_EQ(Logged(), std::vector<std::string>{"Break"});
    EXPECT_TRUE(offUiThread);
}

TEST_F(EventDispatchTest, HandlerErrorInThreadSyncEndsEventsSilentlyAndReopeningCuresIt)
{
    port.OnRxFlag = [](TCustomComPort*) { throw EConvertError("'1x' is not a valid integer value"); };
    port.Connect();
    ASSERT_TRUE(TScriptedDevice::WaitForEventWaitStarts(*script, 1));
    ClearLog();
    TScriptedDevice::Fire(*script, Comm::EvRxFlag | Comm::EvRing);
    ASSERT_TRUE(DeliverUntilLogged(1));
    TScriptedDevice::Fire(*script, Comm::EvRing);
    DeliverFor(200);
    EXPECT_EQ(Logged(), std::vector<std::string>{"Ring"});
    EXPECT_EQ(script->EventWaitStarts, 1);
    EXPECT_TRUE(shown.empty());
    EXPECT_TRUE(port.Connected());

    port.Disconnect();
    port.Connect();
    ASSERT_TRUE(TScriptedDevice::WaitForEventWaitStarts(*script, 2));
    ClearLog();
    TScriptedDevice::Fire(*script, Comm::EvRing);
    ASSERT_TRUE(DeliverUntilLogged(1));
    EXPECT_EQ(Logged(), std::vector<std::string>{"Ring"});
}

TEST_F(EventDispatchTest, HandlerErrorInNoSyncModeEndsTheThreadToo)
{
    port.SetSyncMethod(smNone);
    port.OnRing = [](TCustomComPort*) { throw Exception("handler failed"); };
    port.Connect();
    ASSERT_TRUE(TScriptedDevice::WaitForEventWaitStarts(*script, 1));
    TScriptedDevice::Fire(*script, Comm::EvRing);
    TScriptedDevice::Fire(*script, Comm::EvBreak);
    EXPECT_FALSE(TScriptedDevice::WaitForEventWaitStarts(*script, 2, std::chrono::milliseconds(200)));
    EXPECT_TRUE(shown.empty());
    EXPECT_TRUE(port.Connected());
}

TEST_F(EventDispatchTest, WindowSyncRaisesEachEventByItsOwnMessage)
{
    port.SetSyncMethod(smWindowSync);
    port.Connect();
    ASSERT_TRUE(TScriptedDevice::WaitForEventWaitStarts(*script, 1));
    ClearLog();
    TScriptedDevice::Script(*script, [](Script& s) { s.ModemLines = Comm::MsRlsdOn; });
    TScriptedDevice::Fire(*script, Comm::EvRlsd);
    ASSERT_TRUE(DeliverUntilLogged(1));
    TScriptedDevice::Fire(*script, Comm::EvRing);
    ASSERT_TRUE(DeliverUntilLogged(2));
    DeliverFor(50);
    EXPECT_EQ(Logged(), (std::vector<std::string>{"RLSD on", "Ring"}));
    EXPECT_FALSE(offUiThread);
}

TEST_F(EventDispatchTest, WindowSyncReleasesTheThreadBeforeTheHandlerAndShowsHandlerErrors)
{
    port.SetSyncMethod(smWindowSync);
    bool threadWentOnMeanwhile = false;
    port.OnRing = [&](TCustomComPort*) {
        // Until this handler returns, only a released event thread can start
        // its next wait.
        threadWentOnMeanwhile = TScriptedDevice::WaitForEventWaitStarts(*script, 2);
        throw Exception("Ring handler failed");
    };
    port.Connect();
    ASSERT_TRUE(TScriptedDevice::WaitForEventWaitStarts(*script, 1));
    TScriptedDevice::Fire(*script, Comm::EvRing);
    QElapsedTimer timer;
    timer.start();
    while (shown.empty() && timer.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    EXPECT_TRUE(threadWentOnMeanwhile);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], "Ring handler failed.");

    // The thread goes on delivering.
    ClearLog();
    TScriptedDevice::Fire(*script, Comm::EvBreak);
    ASSERT_TRUE(DeliverUntilLogged(1));
    EXPECT_EQ(Logged(), std::vector<std::string>{"Break"});
}

TEST_F(EventDispatchTest, DeliveryUnderWayWhenClosingStillRunsInsideDisconnect)
{
    for (TSyncMethod mode : {smThreadSync, smWindowSync}) {
        port.SetSyncMethod(mode);
        bool connectedWhileRaised = false;
        int rings = 0;
        port.OnRing = [&](TCustomComPort* sender) {
            connectedWhileRaised = sender->Connected();
            ++rings;
        };
        const int starts = script->EventWaitStarts;
        const int completed = script->EventWaitsCompleted;
        port.Connect();
        ASSERT_TRUE(TScriptedDevice::WaitForEventWaitStarts(*script, starts + 1));
        // The UI thread does not return to its event loop before closing; the
        // event thread has its events and is on its way to deliver them.
        TScriptedDevice::Fire(*script, Comm::EvRing);
        while (script->EventWaitsCompleted == completed)
            QThread::yieldCurrentThread();
        port.Disconnect();
        EXPECT_EQ(rings, 1) << "mode " << mode;
        EXPECT_TRUE(connectedWhileRaised) << "mode " << mode;
    }
}

TEST_F(EventDispatchTest, HandlerMayCloseAndReopenThePortInEveryMode)
{
    port.Connect();
    port.Disconnect();
    const int threads = ThreadCount();
    for (TSyncMethod mode : {smThreadSync, smWindowSync, smNone}) {
        port.SetSyncMethod(mode);
        std::atomic<int> rings = 0;
        std::atomic<bool> reopen = true;
        port.OnRing = [&](TCustomComPort* sender) {
            sender->Disconnect();
            if (reopen)
                sender->Connect();
            ++rings;
        };
        // Later events of the same wait are not raised on a closed port
        // (a message already sent to the receiver still runs while closing).
        port.OnRxFlag = [&](TCustomComPort*) {
            if (mode != smWindowSync)
                ADD_FAILURE() << "raised after the port was closed";
        };
        const int starts = script->EventWaitStarts;
        port.Connect();
        ASSERT_TRUE(TScriptedDevice::WaitForEventWaitStarts(*script, starts + 1));
        TScriptedDevice::Fire(*script, Comm::EvRing | Comm::EvRxFlag);
        processEventsUntil([&] { return rings == 1; });
        // Reopened from the handler, the port has a fresh thread waiting.
        ASSERT_TRUE(TScriptedDevice::WaitForEventWaitStarts(*script, starts + 2)) << "mode " << mode;
        EXPECT_TRUE(port.Connected());
        port.OnRxFlag = nullptr;
        reopen = false;
        TScriptedDevice::Fire(*script, Comm::EvRing);
        processEventsUntil([&] { return rings == 2; });
        EXPECT_FALSE(port.Connected());
        port.Connect();
        port.Disconnect();
        EXPECT_EQ(ThreadCount(), threads) << "mode " << mode;
    }
}

TEST_F(EventDispatchTest, PortLeftOpenWithoutADeviceByAFailureHandlerStillClosesItsThread)
{
    std::vector<TComExceptions> reported;
    port.OnException = [&](TCustomComPort*, TComExceptions kind, const std::string&, std::int64_t,
                           const std::string&) { reported.push_back(kind); };
    port.SetDeviceOpener([](const std::string&, int& osError) -> std::unique_ptr<TComDevice> {
        osError = ENOENT;
        return nullptr;
    });
    const int threads = ThreadCount();
    port.Connect();
    EXPECT_TRUE(port.Connected());
    EXPECT_TRUE(port.EventThreadStarted());
    ASSERT_FALSE(reported.empty());
    EXPECT_EQ(reported.front(), CE_OpenFailed);
    port.Disconnect();
    EXPECT_EQ(ThreadCount(), threads);
}

TEST_F(EventDispatchTest, FailingWaitEndsTheThreadQuietlyAndThePortStillCloses)
{
    port.Connect();
    ASSERT_TRUE(TScriptedDevice::WaitForEventWaitStarts(*script, 1));
    TScriptedDevice::FailWaits(*script);
    TScriptedDevice::Fire(*script, Comm::EvRing);
    DeliverFor(100);
    EXPECT_TRUE(port.Connected());
    EXPECT_EQ(script->EventWaitStarts, 1);
    port.Disconnect();
    EXPECT_FALSE(port.Connected());
    EXPECT_TRUE(shown.empty());
}

TEST_F(EventDispatchTest, WaitThatCannotStartSleepsUntilThePortCloses)
{
    script->EventWaitStartError = EIO;
    const int threadsBefore = ThreadCount();
    port.Connect();
    ASSERT_TRUE(TScriptedDevice::WaitForEventWaitStarts(*script, 1));
    TScriptedDevice::Fire(*script, Comm::EvRing);
    DeliverFor(100);
    // One attempt, no retry loop.
    EXPECT_EQ(script->EventWaitStarts, 1);
    port.Disconnect();
    EXPECT_EQ(ThreadCount(), threadsBefore);
}

} // namespace
