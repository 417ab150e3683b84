#include "support/ScriptedDevice.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

TScriptedDevice::TScriptedDevice(std::shared_ptr<TScript> script) : script_(std::move(script))
{
    std::lock_guard lock(script_->Mutex);
    script_->Open = this;
}

TScriptedDevice::~TScriptedDevice()
{
    std::lock_guard lock(script_->Mutex);
    script_->Open = nullptr;
}

void TScriptedDevice::Fire(TScript& script, std::uint32_t events)
{
    std::lock_guard lock(script.Mutex);
    script.PendingEvents |= events & script.EventMask;
    if (script.Open)
        script.Open->CompleteEventWait();
    script.Wake.Set();
}

void TScriptedDevice::Receive(TScript& script, const std::string& bytes, std::uint32_t events)
{
    {
        std::lock_guard lock(script.Mutex);
        script.Input += bytes;
    }
    Fire(script, events);
}

void TScriptedDevice::FailWaits(TScript& script)
{
    std::lock_guard lock(script.Mutex);
    script.WaitsFail = true;
    script.Wake.Set();
}

bool TScriptedDevice::WaitForEventWaitStarts(TScript& script, int count, std::chrono::milliseconds bound)
{
    std::unique_lock lock(script.Mutex);
    return script.Changed.wait_for(lock, bound, [&] { return script.EventWaitStarts >= count; });
}

int TScriptedDevice::ClearError(std::uint32_t& errors, TCommStatus& status)
{
    std::lock_guard lock(script_->Mutex);
    errors = std::exchange(script_->Errors, 0);
    status = {};
    status.InQueue = static_cast<std::uint32_t>(script_->Input.size()) + script_->Overcounted;
    return 0;
}

int TScriptedDevice::ModemStatus(std::uint32_t& lines)
{
    std::lock_guard lock(script_->Mutex);
    lines = script_->ModemLines;
    return 0;
}

int TScriptedDevice::Purge(std::uint32_t flags)
{
    std::lock_guard lock(script_->Mutex);
    ++script_->Purges;
    if (flags & Comm::PurgeRxClear)
        script_->Input.clear();
    return 0;
}

int TScriptedDevice::StartWrite(TOverlapped& operation, const void*, std::uint32_t count)
{
    operation.Begin(this);
    operation.Complete(count, 0);
    return 0;
}

int TScriptedDevice::StartRead(TOverlapped& operation, void* data, std::uint32_t count)
{
    std::lock_guard lock(script_->Mutex);
    const std::size_t taken = std::min<std::size_t>(count, script_->Input.size());
    std::memcpy(data, script_->Input.data(), taken);
    script_->Input.erase(0, taken);
    operation.Begin(this);
    operation.Complete(static_cast<std::uint32_t>(taken), 0);
    return 0;
}

int TScriptedDevice::SetEventMask(std::uint32_t mask)
{
    std::lock_guard lock(script_->Mutex);
    script_->EventMask = mask;
    script_->PendingEvents = 0;
    ++script_->MaskChanges;
    if (eventWait_) {
        std::exchange(eventWait_, nullptr)->Complete(0, 0, 0);
        script_->Wake.Set();
    }
    script_->Changed.notify_all();
    return 0;
}

int TScriptedDevice::StartEventWait(TOverlapped& operation)
{
    std::lock_guard lock(script_->Mutex);
    ++script_->EventWaitStarts;
    script_->Changed.notify_all();
    if (script_->EventWaitStartError != 0)
        return script_->EventWaitStartError;
    operation.Begin(this);
    eventWait_ = &operation;
    CompleteEventWait();
    return operation.Busy() ? IoPending : 0;
}

void TScriptedDevice::CompleteEventWait()
{
    if (!eventWait_ || script_->PendingEvents == 0)
        return;
    std::exchange(eventWait_, nullptr)->Complete(0, 0, script_->PendingEvents.exchange(0));
}

TComDevice::TWaitResult TScriptedDevice::Wait(TOverlapped& operation, const TManualResetEvent* stop)
{
    for (;;) {
        {
            std::lock_guard lock(script_->Mutex);
            script_->Wake.Reset();
            if (stop && stop->IsSet())
                return TWaitResult::Stop;
            if (stop && script_->WaitsFail)
                return TWaitResult::Failed;
            if (!operation.Busy()) {
                if (stop)
                    ++script_->EventWaitsCompleted;
                return TWaitResult::Completed;
            }
        }
        pollfd entries[2] = {{script_->Wake.Fd(), POLLIN, 0}, {stop ? stop->Fd() : -1, POLLIN, 0}};
        while (poll(entries, 2, -1) < 0 && errno == EINTR) {
        }
    }
}

void TScriptedDevice::Withdraw(TOverlapped& operation)
{
    std::lock_guard lock(script_->Mutex);
    if (eventWait_ == &operation)
        eventWait_ = nullptr;
}
