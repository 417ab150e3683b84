#include "serial/WorkerThread.h"

#include "serial/Synchronizer.h"

TWorkerThread::~TWorkerThread()
{
    WaitFor();
}

void TWorkerThread::Start()
{
    TSynchronizer::Prepare();
    thread_ = std::thread([this] { Run(); });
}

void TWorkerThread::Run()
{
    try {
        Execute();
    } catch (...) {
        // The owner sees the thread finished; there is nobody to report to.
    }
    finished_ = true;
    TSynchronizer::WakeUiThread();
}

void TWorkerThread::WaitFor()
{
    if (!thread_.joinable())
        return;
    if (TSynchronizer::IsUiThread())
        TSynchronizer::ServeUntil([this] { return finished_.load(); });
    thread_.join();
}
