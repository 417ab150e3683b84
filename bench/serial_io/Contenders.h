#pragma once

#include <cstddef>
#include <memory>
#include <string>

// One way of talking to a serial device, reduced to what the benchmark
// does: blocking writes and reads of a given size.
class TContender {
public:
    virtual ~TContender() = default;
    // Opens the device; false when this contender cannot open it.
    virtual bool Open(const std::string& path) = 0;
    // Returns once the device has taken every byte.
    virtual void Write(const std::string& bytes) = 0;
    // Returns once count bytes have arrived.
    virtual void Read(char* buffer, std::size_t count) = 0;
};

std::unique_ptr<TContender> MakeComPortContender();
std::unique_ptr<TContender> MakeQSerialPortContender();
std::unique_ptr<TContender> MakeRawContender();
std::unique_ptr<TContender> MakeLibSerialPortContender();
