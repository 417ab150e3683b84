#pragma once

#include "common/Exception.h"

#include <cstddef>
#include <deque>
#include <string>

// A command that cannot be carried out, with its SCPI error number and,
// optionally, what went wrong in the instrument's words.
class EScpiError : public Exception {
public:
    explicit EScpiError(int code, const std::string& detail = {});
    int Code() const { return code_; }
    const std::string& Detail() const { return detail_; }

private:
    int code_;
    std::string detail_;
};

// SCPI's standard errors used here.
namespace ScpiError {
constexpr int CommandError = -100;
constexpr int InvalidCharacter = -101;
constexpr int SyntaxError = -102;
constexpr int DataTypeError = -104;
constexpr int ParameterNotAllowed = -108;
constexpr int MissingParameter = -109;
constexpr int UndefinedHeader = -113;
constexpr int ExecutionError = -200;
constexpr int SettingsConflict = -221;
constexpr int DataOutOfRange = -222;
constexpr int TooMuchData = -223;
constexpr int IllegalParameterValue = -224;
constexpr int DataStale = -230;
constexpr int QueueOverflow = -350;
} // namespace ScpiError

// The standard text of an error number; "Error" for one not listed.
const char* ScpiErrorText(int code);

// The error queue that SYSTem:ERRor? empties, oldest first. It holds at
// most Capacity entries; when full, the newest entry becomes -350 "Queue
// overflow" and further errors are dropped until one is read.
class TScpiErrorQueue {
public:
    static constexpr std::size_t Capacity = 16;

    void Push(int code, const std::string& detail = {});
    // The oldest entry as SCPI writes it, -222,"Data out of range;detail",
    // or 0,"No error" when empty.
    std::string Pop();
    void Clear() { entries_.clear(); }
    std::size_t Size() const { return entries_.size(); }

private:
    std::deque<std::string> entries_;
};

// Text as an SCPI string: in double quotes, a double quote inside doubled.
std::string ScpiQuoted(const std::string& text);
