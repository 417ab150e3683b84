#include "Contenders.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace {

// The floor: a non-blocking descriptor, write/read as far as they go and
// poll() for the rest.
class TRawContender : public TContender {
public:
    ~TRawContender() override
    {
        if (fd_ >= 0)
            close(fd_);
    }

    bool Open(const std::string& path) override
    {
        fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd_ < 0)
            return false;
        termios settings;
        tcgetattr(fd_, &settings);
        cfmakeraw(&settings);
        cfsetspeed(&settings, B115200);
        tcsetattr(fd_, TCSANOW, &settings);
        return true;
    }

    void Write(const std::string& bytes) override
    {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = write(fd_, bytes.data() + done, bytes.size() - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EINTR)
                throw std::runtime_error("write failed");
            pollfd entry{fd_, POLLOUT, 0};
            poll(&entry, 1, -1);
        }
    }

    void Read(char* buffer, std::size_t count) override
    {
        std::size_t done = 0;
        while (done < count) {
            const ssize_t n = read(fd_, buffer + done, count - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EINTR)
                throw std::runtime_error("read failed");
            pollfd entry{fd_, POLLIN, 0};
            poll(&entry, 1, -1);
        }
    }

private:
    int fd_ = -1;
};

} // namespace

std::unique_ptr<TContender> MakeRawContender()
{
    return std::make_unique<TRawContender>();
}
