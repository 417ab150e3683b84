#include "serial/ComPort.h"

#include "common/Application.h"
#include "serial/ComThread.h"
#include "serial/EventMask.h"
#include "serial/PortWindow.h"

#include <vector>

// The port's side of event delivery: starting and stopping the event
// thread, one processing operation per event, and the hidden receiver's
// message handler.

thread_local TCustomComPort* TCustomComPort::delivering_ = nullptr;

void TCustomComPort::StartEventThread()
{
    ReleaseRetired();
    eventThreadStarted_ = false;
    if (events_.Empty())
        return;
    if (syncMethod_ == smWindowSync)
        window_ = std::make_unique<TPortWindow>(
            [this](unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
                PortWindowProc(message, wParam, lParam);
            });
    eventThread_ = std::make_unique<TComThread>(*this, window_.get());
    eventThread_->Start();
    eventThreadStarted_ = true;
}

// Waits for the thread's end; a delivery under way still runs meanwhile.
void TCustomComPort::StopEventThread()
{
    ReleaseRetired();
    if (!eventThreadStarted_)
        return;
    const bool insideDelivery = delivering_ == this;
    if (insideDelivery && syncMethod_ != smWindowSync) {
        // A handler of the thread's own delivery is closing the port, and
        // the thread waits for that handler: it cannot be waited for here.
        // It leaves without touching the device again and is freed later.
        eventThread_->Abandon();
        retiredThreads_.push_back(std::move(eventThread_));
    } else {
        eventThread_.reset();
    }
    eventThreadStarted_ = false;
    // A receiver whose handler is running is freed once it has returned.
    if (insideDelivery && window_)
        retiredWindows_.push_back(std::move(window_));
    window_.reset();
}

void TCustomComPort::ReleaseRetired()
{
    if (delivering_ == this)
        return;
    retiredThreads_.clear();
    retiredWindows_.clear();
}

void TCustomComPort::ProcessEvent(TComEvent event)
{
    switch (event) {
    case evRxChar: ProcessRxChar(); break;
    case evTxEmpty: ProcessTxEmpty(); break;
    case evRxFlag: ProcessRxFlag(); break;
    case evRing: ProcessRing(); break;
    case evBreak: ProcessBreak(); break;
    case evCTS: ProcessCTSChange(); break;
    case evDSR: ProcessDSRChange(); break;
    case evError: ProcessError(); break;
    case evRLSD: ProcessRLSDChange(); break;
    case evRx80Full: ProcessRx80Full(); break;
    }
}

// Exactly one of OnRxChar and OnRxBuf is raised for the waiting bytes.
void TCustomComPort::ProcessRxChar()
{
    std::int32_t count = InputQueueCount();
    if (count > 0 && !triggersOnRxChar_) {
        std::vector<char> buffer(static_cast<std::size_t>(count));
        // The handler gets the bytes that were actually read, never more.
        const std::int32_t read = ReadData(buffer.data(), count);
        if (read > 0)
            TriggerRxBuf(buffer.data(), read);
        count = 0;
    }
    if (count > 0)
        TriggerRxChar(count);
}

void TCustomComPort::ProcessTxEmpty()
{
    TriggerTxEmpty();
}

void TCustomComPort::ProcessRxFlag()
{
    TriggerRxFlag();
}

void TCustomComPort::ProcessBreak()
{
    TriggerBreak();
}

void TCustomComPort::ProcessRing()
{
    TriggerRing();
}

void TCustomComPort::ProcessRx80Full()
{
    TriggerRx80Full();
}

// Reading the errors clears them; a wait whose errors are gone raises nothing.
void TCustomComPort::ProcessError()
{
    const TComErrors errors = LineErrors();
    if (!errors.Empty())
        TriggerError(errors);
}

void TCustomComPort::PortWindowProc(unsigned message, std::uintptr_t wParam, std::intptr_t)
{
    if (message != ComPortEventMessage || !connected_)
        return;
    TDeliveryScope scope(this);
    try {
        const TComEvents events = MaskToEventSet(static_cast<std::uint32_t>(wParam));
        for (TComEvent event : EventRaiseOrder)
            if (events.Contains(event))
                ProcessEvent(event);
    } catch (const std::exception& error) {
        // The event thread has gone on already; the error can only be shown.
        TApplication::ShowException(error);
    }
}
