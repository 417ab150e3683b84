#include "serial/ComPort.h"

#include "common/Application.h"
#include "serial/ComErrors.h"
#include "serial/DeviceControlBlock.h"

#include <cerrno>

// Opening and closing the device, configuring it, the status queries and
// the single exit for failures.

namespace {

// What a device call on the invalid handle gives.
constexpr int InvalidHandleError = EBADF;

} // namespace

void TCustomComPort::SetConnected(bool value)
{
    if (loading_) {
        connected_ = value;
        return;
    }
    if (value == connected_)
        return;
    if (value)
        Connect();
    else
        Disconnect();
}

void TCustomComPort::Connect()
{
    if (connected_)
        return;
    ProcessBeforeOpen();
    CreateDeviceHandle();
    connected_ = true;
    try {
        ApplySettings();
    } catch (...) {
        CloseDeviceHandle();
        connected_ = false;
        throw;
    }
    // The event thread is started here, once the device is fully
    // configured: when Events is not empty (with its message receiver first
    // for window delivery), setting EventThreadStarted.
    eventThreadStarted_ = false;
    ProcessAfterOpen();
}

void TCustomComPort::Disconnect()
{
    if (!connected_)
        return;
    ProcessBeforeClose();
    CancelTransfers();
    // The event thread is stopped here, after pending transfers were aborted
    // and before the device closes, so it never sees a closed device.
    eventThreadStarted_ = false;
    CloseDeviceHandle();
    connected_ = false;
    ProcessAfterClose();
}

void TCustomComPort::Loaded()
{
    loading_ = false;
    if (!connected_)
        return;
    connected_ = false;
    // Loading a window must not fail because its port cannot open.
    try {
        Connect();
    } catch (const std::exception& error) {
        TApplication::ShowException(error);
    }
}

void TCustomComPort::CreateDeviceHandle()
{
    int osError = 0;
    device_ = deviceOpener_ ? deviceOpener_(port_, osError) : OpenComDevice(port_, osError);
    if (!device_)
        ReportPortError(CE_OpenFailed, osError);
}

void TCustomComPort::CloseDeviceHandle()
{
    device_.reset();
}

void TCustomComPort::EndSettingsChange()
{
    if (updateCount_ <= 0)
        return;
    --updateCount_;
    if (updateCount_ == 0)
        ApplySettings();
}

bool TCustomComPort::CanApply() const
{
    return connected_ && updateCount_ == 0 && !loading_;
}

void TCustomComPort::ApplySettings()
{
    ApplyBufferSizes();
    ApplyLineSettings();
    ApplyTimeoutSettings();
}

void TCustomComPort::ApplyLineSettings()
{
    if (!CanApply())
        return;
    const int error = device_ ? device_->SetState(MakeDeviceControlBlock(*this)) : InvalidHandleError;
    if (error != 0)
        ReportPortError(CE_SetStateFailed, error);
}

void TCustomComPort::ApplyTimeoutSettings()
{
    if (!CanApply())
        return;
    const int error = device_ ? device_->SetTimeouts(MakeCommTimeouts(timeouts_)) : InvalidHandleError;
    if (error != 0)
        ReportPortError(CE_TimeoutsFailed, error);
}

void TCustomComPort::ApplyBufferSizes()
{
    if (!CanApply())
        return;
    const int error = device_ ? device_->SetupQueues(static_cast<std::uint32_t>(buffer_.InputSize()),
                                                     static_cast<std::uint32_t>(buffer_.OutputSize()))
                              : InvalidHandleError;
    if (error != 0)
        ReportPortError(CE_SetupComFailed, error);
}

std::int32_t TCustomComPort::InputQueueCount()
{
    std::uint32_t errors = 0;
    TCommStatus status;
    const int error = device_ ? device_->ClearError(errors, status) : InvalidHandleError;
    if (error != 0)
        ReportPortError(CE_ClearComFailed, error);
    return static_cast<std::int32_t>(status.InQueue);
}

TLineSignals TCustomComPort::LineSignals()
{
    std::uint32_t lines = 0;
    const int error = device_ ? device_->ModemStatus(lines) : InvalidHandleError;
    if (error != 0)
        ReportPortError(CE_ModemStatFailed, error);
    TLineSignals result;
    if (lines & Comm::MsCtsOn)
        result.Include(lsCTS);
    if (lines & Comm::MsDsrOn)
        result.Include(lsDSR);
    if (lines & Comm::MsRingOn)
        result.Include(lsRing);
    if (lines & Comm::MsRlsdOn)
        result.Include(lsRLSD);
    return result;
}

TComErrors TCustomComPort::LineErrors()
{
    std::uint32_t flags = 0;
    TCommStatus status;
    const int error = device_ ? device_->ClearError(flags, status) : InvalidHandleError;
    if (error != 0)
        ReportPortError(CE_ClearComFailed, error);
    static constexpr struct {
        std::uint32_t flag;
        TComError error;
    } mapping[] = {{Comm::CeFrame, ceFrame},     {Comm::CeRxParity, ceRxParity}, {Comm::CeOverrun, ceOverrun},
                   {Comm::CeBreak, ceBreak},     {Comm::CeIoError, ceIO},        {Comm::CeMode, ceMode},
                   {Comm::CeRxOver, ceRxOver},   {Comm::CeTxFull, ceTxFull}};
    TComErrors errors;
    for (const auto& entry : mapping) {
        if (flags & entry.flag)
            errors.Include(entry.error);
    }
    // Parity errors count only when parity is checked.
    if (!parity_.Check())
        errors.Exclude(ceRxParity);
    return errors;
}

void TCustomComPort::ReportPortError(TComExceptions kind, std::int64_t osError)
{
    if (!OnException)
        throw EComPort(kind, osError);
    OnException(this, kind, std::string(PortErrorMessages.at(static_cast<std::size_t>(kind))), osError,
                SystemErrorMessage(osError));
}
