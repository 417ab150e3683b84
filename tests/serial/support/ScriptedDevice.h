#pragma once

#include "serial/ComDevice.h"
#include "serial/ManualResetEvent.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

// A device whose events the test scripts: line changes, ring, break, line
// errors, received bytes, a wait that fails or cannot start. Safe for the
// port's event thread and the test's thread at once. Transfers complete at
// once: reads take what Receive() queued, writes send everything.
class TScriptedDevice : public TComDevice {
public:
    // The state one test shares with the devices its port opens.
    struct TScript {
        std::mutex Mutex;
        std::condition_variable Changed;
        TManualResetEvent Wake;  // wakes an event wait blocked in the device

        TScriptedDevice* Open = nullptr;
        std::atomic<std::uint32_t> EventMask = 0;
        std::atomic<std::uint32_t> PendingEvents = 0;
        std::uint32_t Errors = 0;
        std::uint32_t ModemLines = 0;
        std::string Input;
        // Bytes the queue count claims beyond what a read can get (taken by
        // someone else between the count and the read).
        std::uint32_t Overcounted = 0;
        bool WaitsFail = false;
        int EventWaitStartError = 0;
        std::atomic<int> EventWaitStarts = 0;
        std::atomic<int> EventWaitsCompleted = 0;  // Wait returned with the events
        std::atomic<int> MaskChanges = 0;
        std::atomic<int> Purges = 0;
    };

    explicit TScriptedDevice(std::shared_ptr<TScript> script);
    ~TScriptedDevice() override;

    // An opener for TCustomComPort::SetDeviceOpener.
    static auto Opener(std::shared_ptr<TScript> script)
    {
        return [script](const std::string&, int&) -> std::unique_ptr<TComDevice> {
            return std::make_unique<TScriptedDevice>(script);
        };
    }

    // --- Scripting, from the test's thread ----------------------------------
    // The scripted part, changed under the script's lock.
    template <typename Change>
    static void Script(TScript& script, Change change)
    {
        std::lock_guard lock(script.Mutex);
        change(script);
    }
    // Events occur (Comm::Ev... bits; those outside the mask are dropped).
    static void Fire(TScript& script, std::uint32_t events);
    static void Receive(TScript& script, const std::string& bytes, std::uint32_t events = Comm::EvRxChar);
    // From now on the event wait fails, as on a vanished device.
    static void FailWaits(TScript& script);
    // Waits (bounded) until the device's event wait was started `count` times.
    static bool WaitForEventWaitStarts(TScript& script, int count,
                                       std::chrono::milliseconds bound = std::chrono::seconds(10));

    // --- The device -------------------------------------------------------------
    int SetState(const TDeviceControlBlock&) override { return 0; }
    int SetTimeouts(const TCommTimeouts&) override { return 0; }
    int SetupQueues(std::uint32_t, std::uint32_t) override { return 0; }
    int ClearError(std::uint32_t& errors, TCommStatus& status) override;
    int ModemStatus(std::uint32_t& lines) override;
    int Purge(std::uint32_t flags) override;
    int StartWrite(TOverlapped& operation, const void* data, std::uint32_t count) override;
    int StartRead(TOverlapped& operation, void* data, std::uint32_t count) override;
    int SetEventMask(std::uint32_t mask) override;
    int StartEventWait(TOverlapped& operation) override;
    TWaitResult Wait(TOverlapped& operation, const TManualResetEvent* stop) override;
    void Withdraw(TOverlapped& operation) override;

private:
    // With the script's mutex held.
    void CompleteEventWait();

    std::shared_ptr<TScript> script_;
    TOverlapped* eventWait_ = nullptr;
};
