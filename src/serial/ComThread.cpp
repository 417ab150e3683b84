#include "serial/ComThread.h"

#include "serial/ComPort.h"
#include "serial/EventMask.h"
#include "serial/PortWindow.h"
#include "serial/Synchronizer.h"

#include <thread>

TComThread::TComThread(TCustomComPort& port, TPortWindow* window)
    : port_(port), window_(window), syncMethod_(port.SyncMethod())
{
    if (TComDevice* device = port_.DeviceHandle())
        device->SetEventMask(EventSetToMask(port_.Events()));
}

TComThread::~TComThread()
{
    RequestStop();
    Terminate();
    WaitFor();
}

void TComThread::RequestStop()
{
    StopSignal.Set();
    std::this_thread::yield();
}

void TComThread::Abandon()
{
    abandoned_ = true;
    RequestStop();
}

void TComThread::MonitorLoop()
{
    TComDevice* const device = port_.DeviceHandle();
    if (!device) {
        // Opened without a device (a failed open handed to OnException):
        // there is nothing to wait on until the port closes.
        StopSignal.Wait();
        return;
    }
    TOverlapped waitOperation;
    for (;;) {
        const int started = device->StartEventWait(waitOperation);
        // A vanished device fails the wait whether or not it started.
        if (device->Wait(waitOperation, &StopSignal) != TComDevice::TWaitResult::Completed)
            break;
        if (started != 0 && started != TComDevice::IoPending) {
            // The wait cannot even be started: sleep until the port closes
            // rather than try again and again.
            StopSignal.Wait();
            break;
        }
        if (waitOperation.Error() == 0) {
            FiredEvents = MaskToEventSet(waitOperation.EventMask());
            DeliverEvents();
            if (abandoned_)
                return;
        }
    }
    // Setting the mask to 0 also completes a wait still pending.
    device->SetEventMask(0);
    device->Purge(Comm::PurgeTxAbort | Comm::PurgeRxAbort | Comm::PurgeTxClear | Comm::PurgeRxClear);
}

void TComThread::DeliverEvents()
{
    switch (syncMethod_) {
    case smThreadSync:
        // An error of a handler comes back here and ends the thread.
        TSynchronizer::Synchronize([this] { RaiseEvents(); });
        break;
    case smWindowSync:
        SendEventsToWindow();
        break;
    case smNone:
        RaiseEvents();
        break;
    }
}

void TComThread::SendEventsToWindow()
{
    for (TComEvent event : EventRaiseOrder)
        if (FiredEvents.Contains(event))
            window_->SendMessage(ComPortEventMessage, EventSetToMask({event}), 0);
}

void TComThread::RaiseEvents()
{
    TCustomComPort::TDeliveryScope scope(&port_);
    for (TComEvent event : EventRaiseOrder) {
        if (abandoned_)
            return;  // a handler has closed the port
        if (FiredEvents.Contains(event))
            port_.ProcessEvent(event);
    }
}
