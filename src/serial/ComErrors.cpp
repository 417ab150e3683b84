#include "serial/ComErrors.h"

#include <cstring>
#include <utility>

const std::array<std::string_view, 24> PortErrorMessages{
    "Unable to open com port",
    "WriteFile function failed",
    "ReadFile function failed",
    "Invalid Async parameter",
    "PurgeComm function failed",
    "Unable to get async status",
    "SetCommState function failed",
    "SetCommTimeouts failed",
    "SetupComm function failed",
    "ClearCommError function failed",
    "GetCommModemStatus function failed",
    "EscapeCommFunction function failed",
    "TransmitCommChar function failed",
    "Cannot set property while connected",
    "EnumPorts function failed",
    "Failed to store settings",
    "Failed to load settings",
    "Link (un)registration failed",
    "Cannot change led state if ComPort is selected",
    "Cannot wait for event if event thread is created",
    "WaitForEvent method failed",
    "A component is linked to OnRxBuf event",
    "Registry error",
    "Port Not Open",
};

namespace {

// Only the low 32 bits of a system error number are kept.
int LowWord(std::int64_t osError)
{
    return static_cast<int>(static_cast<std::uint32_t>(osError));
}

} // namespace

EComPort::EComPort(TComExceptions kind, std::int64_t osError)
    : Exception(MessageFor(kind, osError)), osError_(osError > 0 ? LowWord(osError) : -1),
      failureCode_(ComErrorCode(kind))
{
}

EComSettings::EComSettings(TComExceptions kind, std::string location, std::string reason)
    : EComPort(kind, 0), location_(std::move(location)), reason_(std::move(reason))
{
}

std::string EComPort::MessageFor(TComExceptions kind, std::int64_t osError)
{
    std::string message(PortErrorMessages.at(static_cast<std::size_t>(kind)));
    if (osError > 0)
        message += " (Error: " + std::to_string(LowWord(osError)) + ")";
    return message;
}

std::string SystemErrorMessage(std::int64_t osError)
{
    if (osError <= 0)
        return {};
    char buffer[256];
    const char* description = strerror_r(LowWord(osError), buffer, sizeof buffer);
    return "System Error.  Code: " + std::to_string(LowWord(osError)) + ".\n" + description;
}
