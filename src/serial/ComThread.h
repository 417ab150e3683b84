#pragma once

#include "serial/ComTypes.h"
#include "serial/ManualResetEvent.h"
#include "serial/WorkerThread.h"

#include <atomic>

class TCustomComPort;
class TPortWindow;

// The event thread of an open port: it sleeps in the device's event wait
// and hands every completed wait's events to the port, on the thread the
// port's delivery mode names. It never polls: it wakes only for a device
// event or a stop request.
//
// The port creates it after the device is configured and destroys it before
// the device closes. Nothing is locked: in smThreadSync the thread sleeps
// while the handlers run on the user-interface thread; in smWindowSync it
// waits only until the hidden receiver has taken each message; in smNone the
// handlers run on this thread.
class TComThread final : public TWorkerThread {
public:
    // Sets the device's event mask from the port's Events; the loop runs once
    // Start() is called. `window` receives the messages in smWindowSync.
    TComThread(TCustomComPort& port, TPortWindow* window);
    // Requests the stop and waits for the end, running the deliveries the
    // thread hands to the user-interface thread meanwhile.
    ~TComThread() override;

    void RequestStop();
    // For a port closed by a handler this thread is waiting for: the thread
    // stops raising events and ends without touching the device again.
    void Abandon();

protected:
    void Execute() override { MonitorLoop(); }

private:
    void MonitorLoop();
    void DeliverEvents();
    void SendEventsToWindow();
    void RaiseEvents();

    TCustomComPort& port_;
    TPortWindow* const window_;
    const TSyncMethod syncMethod_;
    TManualResetEvent StopSignal;
    // The events of the last completed wait: written by this thread before
    // each delivery, read during it.
    TComEvents FiredEvents;
    std::atomic<bool> abandoned_ = false;
};
