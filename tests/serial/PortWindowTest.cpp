#include "common/Application.h"
#include "common/Exception.h"
#include "serial/PortWindow.h"
#include "support/TestThreads.h"

#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

namespace {

struct Message {
    unsigned number;
    std::uintptr_t wParam;
    std::intptr_t lParam;
    bool onUiThread;
};

TEST(PortWindow, MessagesArriveInOrderOnTheUiThreadWithTheirParameters)
{
    std::vector<Message> received;
    TPortWindow window([&](unsigned number, std::uintptr_t wParam, std::intptr_t lParam) {
        received.push_back({number, wParam, lParam, QThread::currentThread() == qApp->thread()});
    });
    LambdaThread sender([&] {
        for (std::uintptr_t bit : {0x80u, 0x01u, 0x02u})
            window.SendMessage(ComPortEventMessage, bit, 0);
    });
    sender.Start();
    processEventsUntil([&] { return received.size() == 3; });
    sender.WaitFor();
    ASSERT_EQ(received.size(), 3u);
    EXPECT_EQ(received[0].number, 1025u);
    EXPECT_EQ(received[0].wParam, 0x80u);
    EXPECT_EQ(received[1].wParam, 0x01u);
    EXPECT_EQ(received[2].wParam, 0x02u);
    for (const Message& m : received) {
        EXPECT_EQ(m.lParam, 0);
        EXPECT_TRUE(m.onUiThread);
    }
}

TEST(PortWindow, SenderIsReleasedBeforeTheHandlerRuns)
{
    // The handler does not finish until the sender has gone on past its
    // send; were the sender held until the handler returns, neither would move.
    Flag senderReleased;
    bool releasedWhileHandlerRan = false;
    int handled = 0;
    TPortWindow window([&](unsigned, std::uintptr_t, std::intptr_t) {
        releasedWhileHandlerRan = senderReleased.WaitRaised();
        ++handled;
    });
    LambdaThread sender([&] {
        window.SendMessage(ComPortEventMessage, 1, 0);
        senderReleased.Raise();
    });
    sender.Start();
    processEventsUntil([&] { return handled == 1; });
    sender.WaitFor();
    EXPECT_TRUE(releasedWhileHandlerRan);
}

TEST(PortWindow, JoiningTheSenderDeliversItsPendingMessages)
{
    std::vector<std::uintptr_t> received;
    TPortWindow window([&](unsigned, std::uintptr_t wParam, std::intptr_t) { received.push_back(wParam); });
    std::atomic<bool> started = false;
    LambdaThread sender([&] {
        started = true;
        for (std::uintptr_t i = 0; i < 20; ++i)
            window.SendMessage(ComPortEventMessage, i, 0);
    });
    sender.Start();
    while (!started)
        QThread::yieldCurrentThread();
    sender.WaitFor();
    ASSERT_EQ(received.size(), 20u);
    EXPECT_EQ(received.front(), 0u);
    EXPECT_EQ(received.back(), 19u);
}

TEST(PortWindow, SentFromTheUiThreadTheHandlerRunsRightAway)
{
    int handled = 0;
    TPortWindow window([&](unsigned number, std::uintptr_t, std::intptr_t) {
        EXPECT_EQ(number, ComPortEventMessage);
        ++handled;
    });
    window.SendMessage(ComPortEventMessage, 1, 0);
    EXPECT_EQ(handled, 1);
}

TEST(PortWindow, AnErrorLeavingTheHandlerReachesTheTopLevelHandler)
{
    QString shown;
    TApplication::SetExceptionPresenter([&](const QString&, const QString& text) { shown = text; });
    TPortWindow window([](unsigned, std::uintptr_t, std::intptr_t) { throw Exception("ReadFile function failed"); });
    LambdaThread sender([&] { window.SendMessage(ComPortEventMessage, 1, 0); });
    sender.Start();
    processEventsUntil([&] { return !shown.isEmpty(); });
    sender.WaitFor();
    TApplication::SetExceptionPresenter({});
    EXPECT_EQ(shown, "ReadFile function failed.");
}

} // namespace
