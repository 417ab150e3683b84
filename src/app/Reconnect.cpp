#include "app/Reconnect.h"

#include "app/AcquisitionStatus.h"
#include "app/ComMainForm.h"
#include "serial/CPort.h"
#include "serial/posix/PortMap.h"

#include <filesystem>
#include <system_error>

TReconnect::TReconnect(TForm1& form, TAcquisitionStatus& status) : QObject(&form), form_(form), status_(status)
{
    timer_.setInterval(RetryInterval);
    connect(&timer_, &QTimer::timeout, this, &TReconnect::TryReopen);
}

void TReconnect::SetEnabled(bool enabled)
{
    enabled_ = enabled;
    if (!enabled)
        EndWait();
}

void TReconnect::DeviceVanished()
{
    if (!enabled_)
        return;
    // The vanished device is let go, so the name can be opened afresh.
    if (form_.ComPort->Connected())
        form_.Button_OpenClick();
    status_.SetReconnecting(form_.ComPort->Port(), true);
    timer_.start();
}

void TReconnect::EndWait()
{
    timer_.stop();
    status_.SetReconnecting(form_.ComPort->Port(), false);
}

void TReconnect::TryReopen()
{
    if (form_.ComPort->Connected()) {
        EndWait();
        return;
    }
    std::error_code ignored;
    if (!std::filesystem::exists(PortMap::ResolveDevicePath(form_.ComPort->Port()), ignored))
        return;
    // A device that has just appeared may refuse to open for a moment (its
    // permissions are set after it appears): the next round tries again.
    try {
        form_.Button_OpenClick();
    } catch (const EComPort&) {
        return;
    }
    EndWait();
    form_.Button_SendClick();
    emit Reconnected();
}
