#include "Contenders.h"

#include "serial/CPort.h"

#include <stdexcept>

namespace {

class TComPortContender : public TContender {
public:
    bool Open(const std::string& path) override
    {
        port_.SetPort(path);
        port_.SetBaudRate(br115200);
        port_.SetEvents({});
        // Reads wait for the asked bytes.
        port_.Timeouts().SetReadInterval(0);
        port_.Timeouts().SetReadTotalConstant(5000);
        port_.Connect();
        return true;
    }

    void Write(const std::string& bytes) override
    {
        if (port_.WriteText(bytes) != static_cast<std::int32_t>(bytes.size()))
            throw std::runtime_error("TComPort wrote short");
    }

    void Read(char* buffer, std::size_t count) override
    {
        std::size_t done = 0;
        while (done < count)
            done += static_cast<std::size_t>(
                port_.ReadData(buffer + done, static_cast<std::int32_t>(count - done)));
    }

private:
    TComPort port_;
};

} // namespace

std::unique_ptr<TContender> MakeComPortContender()
{
    return std::make_unique<TComPortContender>();
}
