#include "serial/ComPort.h"

#include "common/Application.h"
#include "serial/ComThread.h"
#include "serial/PortWindow.h"

// Settings of the port: each setter stores first and then applies; the
// apply operation itself decides whether the device is touched now.

TCustomComPort::TCustomComPort()
{
    parity_.SetComPort(this);
    flowControl_.SetComPort(this);
    timeouts_.SetComPort(this);
    buffer_.SetComPort(this);
}

TCustomComPort::~TCustomComPort()
{
    // Closing runs the close handlers; an error they raise cannot leave a
    // destructor, so it is reported like any error that ends an action.
    try {
        Disconnect();
    } catch (const std::exception& error) {
        TApplication::ShowException(error);
    }
    NotifyFreeClients();
}

void TCustomComPort::FreeNotification(const void* client, TFreeNotification notify)
{
    RemoveFreeNotification(client);
    freeNotifications_.emplace_back(client, std::move(notify));
}

void TCustomComPort::RemoveFreeNotification(const void* client)
{
    std::erase_if(freeNotifications_, [client](const auto& entry) { return entry.first == client; });
}

void TCustomComPort::NotifyFreeClients()
{
    // One at a time off the list: a notice may destroy another client, which
    // then removes its own notice before it would be sent.
    while (!freeNotifications_.empty()) {
        const TFreeNotification notify = std::move(freeNotifications_.front().second);
        freeNotifications_.erase(freeNotifications_.begin());
        try {
            notify(this);
        } catch (const std::exception& error) {
            TApplication::ShowException(error);
        }
    }
}

void TCustomComPort::SetPort(const std::string& value)
{
    if (port_ == value)
        return;
    port_ = value;
    if (connected_ && !loading_) {
        Disconnect();
        Connect();
    }
}

void TCustomComPort::SetBaudRate(TBaudRate value)
{
    if (StoreIfChanged(baudRate_, value))
        ApplyLineSettings();
}

void TCustomComPort::SetCustomBaudRate(std::int32_t value)
{
    if (StoreIfChanged(customBaudRate_, value))
        ApplyLineSettings();
}

void TCustomComPort::SetDataBits(TDataBits value)
{
    if (StoreIfChanged(dataBits_, value))
        ApplyLineSettings();
}

void TCustomComPort::SetStopBits(TStopBits value)
{
    if (StoreIfChanged(stopBits_, value))
        ApplyLineSettings();
}

void TCustomComPort::SetDiscardNull(bool value)
{
    if (StoreIfChanged(discardNull_, value))
        ApplyLineSettings();
}

void TCustomComPort::SetEventChar(char value)
{
    if (StoreIfChanged(eventChar_, value))
        ApplyLineSettings();
}

void TCustomComPort::SetParity(const TComParity& value)
{
    parity_.Assign(value);
    ApplyLineSettings();
}

void TCustomComPort::SetFlowControl(const TComFlowControl& value)
{
    flowControl_.Assign(value);
    ApplyLineSettings();
}

void TCustomComPort::SetTimeouts(const TComTimeouts& value)
{
    timeouts_.Assign(value);
    ApplyTimeoutSettings();
}

void TCustomComPort::SetBuffer(const TComBuffer& value)
{
    buffer_.Assign(value);
    ApplyBufferSizes();
}

void TCustomComPort::SetSyncMethod(TSyncMethod value)
{
    if (syncMethod_ == value)
        return;
    if (connected_ && !loading_) {
        ReportPortError(CE_ConnChangeProp, 0);
        return;
    }
    syncMethod_ = value;
}
