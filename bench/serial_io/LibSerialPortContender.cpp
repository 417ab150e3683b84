#include "Contenders.h"

#include <libserialport.h>

#include <stdexcept>

namespace {

class TLibSerialPortContender : public TContender {
public:
    ~TLibSerialPortContender() override
    {
        if (port_) {
            sp_close(port_);
            sp_free_port(port_);
        }
    }

    bool Open(const std::string& path) override
    {
        if (sp_get_port_by_name(path.c_str(), &port_) != SP_OK)
            return false;
        return sp_open(port_, SP_MODE_READ_WRITE) == SP_OK;
    }

    void Write(const std::string& bytes) override
    {
        if (sp_blocking_write(port_, bytes.data(), bytes.size(), 0) != static_cast<int>(bytes.size()))
            throw std::runtime_error("libserialport wrote short");
    }

    void Read(char* buffer, std::size_t count) override
    {
        if (sp_blocking_read(port_, buffer, count, 0) != static_cast<int>(count))
            throw std::runtime_error("libserialport read short");
    }

private:
    sp_port* port_ = nullptr;
};

} // namespace

std::unique_ptr<TContender> MakeLibSerialPortContender()
{
    return std::make_unique<TLibSerialPortContender>();
}
