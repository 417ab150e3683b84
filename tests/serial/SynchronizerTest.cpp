#include "common/Exception.h"
#include "serial/Synchronizer.h"
#include "support/TestThreads.h"

#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

namespace {

TEST(Synchronizer, CallRunsOnTheUiThreadAndTheWorkerWaitsForIt)
{
    QThread* const uiThread = QThread::currentThread();
    QThread* ranOn = nullptr;
    bool ranBeforeReturn = false;
    std::atomic<bool> workerDone = false;
    LambdaThread worker([&] {
        bool ran = false;
        TSynchronizer::Synchronize([&] {
            ranOn = QThread::currentThread();
            ran = true;
        });
        ranBeforeReturn = ran;
        workerDone = true;
    });
    worker.Start();
    processEventsUntil([&] { return workerDone.load(); });
    worker.WaitFor();
    EXPECT_EQ(ranOn, uiThread);
    EXPECT_TRUE(ranBeforeReturn);
}

TEST(Synchronizer, ExceptionOfTheCallIsRethrownInTheWorkerAndTheLoopCarriesOn)
{
    std::string caught;
    bool sawTheRightType = false;
    LambdaThread worker([&] {
        try {
            TSynchronizer::Synchronize([] { throw EConvertError("'x' is not a valid integer value"); });
        } catch (const EConvertError& error) {
            sawTheRightType = true;
            caught = error.what();
        }
    });
    worker.Start();
    processEventsUntil([&] { return worker.Finished(); });
    worker.WaitFor();
    EXPECT_TRUE(sawTheRightType);
    EXPECT_EQ(caught, "'x' is not a valid integer value");
}

TEST(Synchronizer, CallsOfOneWorkerRunInOrderAndCallsOfTwoWorkersAllRun)
{
    std::vector<int> first;
    std::vector<int> second;
    auto body = [](std::vector<int>& log) {
        return [&log] {
            for (int i = 0; i < 200; ++i)
                TSynchronizer::Synchronize([&log, i] { log.push_back(i); });
        };
    };
    LambdaThread a(body(first));
    LambdaThread b(body(second));
    a.Start();
    b.Start();
    processEventsUntil([&] { return a.Finished() && b.Finished(); });
    a.WaitFor();
    b.WaitFor();
    ASSERT_EQ(first.size(), 200u);
    ASSERT_EQ(second.size(), 200u);
    for (int i = 0; i < 200; ++i) {
        EXPECT_EQ(first[i], i);
        EXPECT_EQ(second[i], i);
    }
}

TEST(Synchronizer, JoiningAWorkerThatIsWaitingForACallRunsTheCallInsteadOfDeadlocking)
{
    // The UI thread joins without ever returning to its event loop: the
    // worker's calls can only run inside the join.
    std::vector<int> log;
    std::atomic<bool> started = false;
    LambdaThread worker([&] {
        started = true;
        for (int i = 0; i < 50; ++i)
            TSynchronizer::Synchronize([&log, i] { log.push_back(i); });
    });
    worker.Start();
    while (!started)
        QThread::yieldCurrentThread();
    worker.WaitFor();
    ASSERT_EQ(log.size(), 50u);
    EXPECT_EQ(log.back(), 49);
    EXPECT_TRUE(worker.Finished());
    // The wake-ups posted for calls already run find nothing left to do.
    QCoreApplication::processEvents();
    EXPECT_EQ(TSynchronizer::RunPendingCalls(), 0);
}

TEST(Synchronizer, OnTheUiThreadTheCallRunsDirectlyAndItsErrorPropagates)
{
    int runs = 0;
    TSynchronizer::Synchronize([&] { ++runs; });
    EXPECT_EQ(runs, 1);
    EXPECT_THROW(TSynchronizer::Synchronize([] { throw Exception("direct"); }), Exception);
}

TEST(WorkerThread, ErrorEscapingTheBodyEndsTheThreadQuietly)
{
    LambdaThread worker([] { throw Exception("lost on purpose"); });
    worker.Start();
    worker.WaitFor();
    EXPECT_TRUE(worker.Finished());
}

TEST(WorkerThread, WaitingForAThreadNeverStartedReturnsAtOnce)
{
    LambdaThread worker([] {});
    worker.WaitFor();
    EXPECT_FALSE(worker.Finished());
    EXPECT_FALSE(worker.Terminated());
    worker.Terminate();
    EXPECT_TRUE(worker.Terminated());
}

} // namespace
