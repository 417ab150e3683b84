#include "remote/ScpiErrors.h"

#include <utility>

EScpiError::EScpiError(int code, const std::string& detail)
    : Exception(std::string(ScpiErrorText(code)) + (detail.empty() ? "" : ": " + detail)), code_(code),
      detail_(detail)
{
}

const char* ScpiErrorText(int code)
{
    switch (code) {
    case 0: return "No error";
    case ScpiError::CommandError: return "Command error";
    case ScpiError::InvalidCharacter: return "Invalid character";
    case ScpiError::SyntaxError: return "Syntax error";
    case ScpiError::DataTypeError: return "Data type error";
    case ScpiError::ParameterNotAllowed: return "Parameter not allowed";
    case ScpiError::MissingParameter: return "Missing parameter";
    case ScpiError::UndefinedHeader: return "Undefined header";
    case ScpiError::ExecutionError: return "Execution error";
    case ScpiError::SettingsConflict: return "Settings conflict";
    case ScpiError::DataOutOfRange: return "Data out of range";
    case ScpiError::TooMuchData: return "Too much data";
    case ScpiError::IllegalParameterValue: return "Illegal parameter value";
    case ScpiError::DataStale: return "Data corrupt or stale";
    case ScpiError::QueueOverflow: return "Queue overflow";
    default: return "Error";
    }
}

std::string ScpiQuoted(const std::string& text)
{
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + '"';
}

void TScpiErrorQueue::Push(int code, const std::string& detail)
{
    if (entries_.size() >= Capacity)
        return;
    std::string text = std::string(ScpiErrorText(code)) + (detail.empty() ? "" : ";" + detail);
    if (entries_.size() == Capacity - 1) {
        code = ScpiError::QueueOverflow;
        text = ScpiErrorText(code);
    }
    entries_.push_back(std::to_string(code) + ',' + ScpiQuoted(text));
}

std::string TScpiErrorQueue::Pop()
{
    if (entries_.empty())
        return "0," + ScpiQuoted(ScpiErrorText(0));
    std::string oldest = std::move(entries_.front());
    entries_.pop_front();
    return oldest;
}
