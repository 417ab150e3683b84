#include "app/AcquisitionMonitor.h"

#include "app/ComMainForm.h"
#include "app/OpenErrorAdvice.h"
#include "graph/Graph.h"
#include "serial/CPort.h"

#include <utility>

namespace {

TAcquisitionStatus::TTime Now()
{
    return TAcquisitionStatus::TClock::now();
}

} // namespace

TAcquisitionMonitor::TAcquisitionMonitor(TForm1& form) : QObject(&form), form_(form)
{
    timer_.setInterval(TickInterval);
    connect(&timer_, &QTimer::timeout, this, &TAcquisitionMonitor::Tick);
    connect(&form_, &TForm1::ExposureSent, this, [this] { status_.ExposureSent(Now()); });
    connect(&form_, &TForm1::FrameDecoded, this, &TAcquisitionMonitor::FrameDecoded);
    connect(&form_, &TForm1::FrameCut, this, [this] { status_.FrameCut(); });
    WatchPort();
}

void TAcquisitionMonitor::WatchPort()
{
    TComPort& port = *form_.ComPort;
    port.OnAfterOpen = [this, opened = std::move(port.OnAfterOpen)](TCustomComPort* sender) {
        opened(sender);
        deviceGone_ = false;
        status_.Opened(Now());
        form_.Averaging().Clear();
        UpdateTimer(true);
        Refresh();
    };
    // Also runs while the window destroys its port, when only the sender
    // still reaches it.
    port.OnAfterClose = [this, closed = std::move(port.OnAfterClose)](TCustomComPort* sender) {
        closed(sender);
        status_.Closed();
        UpdateTimer(false);
        Refresh();
    };
    // An error leaving these handlers ends the port's event handling: the
    // error is noted on its way to the port, which ends the event thread.
    port.OnRxChar = [this, received = std::move(port.OnRxChar)](TCustomComPort* sender, std::int32_t count) {
        status_.BytesReceived(Now());
        try {
            received(sender, count);
        } catch (const std::exception& error) {
            status_.HandlerFailed(error);
            throw;
        }
    };
    port.OnRxFlag = [this, frame = std::move(port.OnRxFlag)](TCustomComPort* sender) {
        try {
            frame(sender);
        } catch (const std::exception& error) {
            status_.HandlerFailed(error);
            throw;
        }
    };
}

void TAcquisitionMonitor::FrameDecoded(bool lfOnly)
{
    // Told before the window asks for the next frame, which this one must
    // not count as answered.
    status_.FramePlotted(Now(), lfOnly);
    lastFrameTime_ = std::chrono::system_clock::now();
    // Nothing else in the window shows that frames come but say nothing.
    if (lfOnly && !lfOnlyFrames_)
        SetReadOutShown(true);
    lfOnlyFrames_ = lfOnly;
}

QDateTime TAcquisitionMonitor::LastFrameTime() const
{
    if (!lastFrameTime_)
        return {};
    const auto since = std::chrono::duration_cast<std::chrono::milliseconds>(lastFrameTime_->time_since_epoch());
    return QDateTime::fromMSecsSinceEpoch(since.count());
}

void TAcquisitionMonitor::SetReadOutShown(bool shown)
{
    if (shown == readOutShown_)
        return;
    readOutShown_ = shown;
    UpdateTimer(form_.ComPort->Connected());
    if (shown) {
        Refresh();
    } else {
        form_.XYGraph1->HintPanel().ClearLines();
        form_.XYGraph1->ShowHintPanel(false);
    }
    emit ReadOutShownChanged(shown);
}

void TAcquisitionMonitor::UpdateTimer(bool portOpen)
{
    if (portOpen || readOutShown_)
        timer_.start();
    else
        timer_.stop();
}

void TAcquisitionMonitor::Tick()
{
    CheckDevice();
    Refresh();
}

void TAcquisitionMonitor::CheckDevice()
{
    TComDevice* device = form_.ComPort->DeviceHandle();
    if (deviceGone_ || !form_.ComPort->Connected() || !device)
        return;
    // The modem status query changes nothing on the device, and a device
    // found gone answers every query with the error it vanished with.
    std::uint32_t lines = 0;
    const int error = device->ModemStatus(lines);
    if (!DeviceGoneError(error))
        return;
    deviceGone_ = true;
    status_.DeviceGone(form_.ComPort->Port(), error);
    SetReadOutShown(true);
    emit DeviceVanished(error);
}

void TAcquisitionMonitor::Refresh()
{
    if (!readOutShown_)
        return;
    form_.XYGraph1->HintPanel().SetLines(Lines());
    form_.XYGraph1->ShowHintPanel(true);
}
