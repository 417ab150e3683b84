#pragma once

#include <stdexcept>
#include <string>

// Base of every failure the components raise. The message is 8-bit text in
// the system's code page, exactly as it is shown to the operator.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

// A text that is not a valid number ("'%s' is not a valid integer value").
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// An index outside a list ("List index out of bounds (%d)").
class EListError : public Exception {
public:
    using Exception::Exception;
};
