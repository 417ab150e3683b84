#pragma once

#include "common/Exception.h"
#include "serial/ComTypes.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// The fixed message of every failure kind, indexed by the kind (code - 1).
extern const std::array<std::string_view, 24> PortErrorMessages;

inline constexpr int ComErrorCode(TComExceptions kind) { return static_cast<int>(kind) + 1; }

// A failure of the serial component: the kind's code and, where the failure
// came from an operating-system call, that call's error number.
class EComPort : public Exception {
public:
    EComPort(TComExceptions kind, std::int64_t osError);

    // The system's error number, or -1 when the failure has none.
    int OsError() const { return osError_; }
    // The component's error code, 1 to 24.
    int FailureCode() const { return failureCode_; }

    // The message: the kind's text, followed by " (Error: n)" when the
    // system error is above 0.
    static std::string MessageFor(TComExceptions kind, std::int64_t osError);

private:
    int osError_;
    int failureCode_;
};

// Storing or loading the port's settings failed. The message is the kind's
// own; where the settings are kept and why it failed come with it, for the
// operator.
class EComSettings : public EComPort {
public:
    EComSettings(TComExceptions kind, std::string location, std::string reason);

    // The file (and key or section) of the settings; empty when not known.
    const std::string& Location() const { return location_; }
    const std::string& Reason() const { return reason_; }

private:
    std::string location_;
    std::string reason_;
};

// The system's description of an error number in the form
// "System Error.  Code: n." and the description on the next line; empty for
// numbers of 0 and below.
std::string SystemErrorMessage(std::int64_t osError);
