#include "Contenders.h"

#include <QSerialPort>

#include <stdexcept>

namespace {

class TQSerialPortContender : public TContender {
public:
    bool Open(const std::string& path) override
    {
        port_.setPortName(QString::fromStdString(path));
        if (!port_.open(QIODevice::ReadWrite))
            return false;
        port_.setBaudRate(115200);
        return true;
    }

    void Write(const std::string& bytes) override
    {
        port_.write(bytes.data(), static_cast<qint64>(bytes.size()));
        while (port_.bytesToWrite() > 0) {
            if (!port_.waitForBytesWritten(5000))
                throw std::runtime_error("QSerialPort write timed out");
        }
    }

    void Read(char* buffer, std::size_t count) override
    {
        while (port_.bytesAvailable() < static_cast<qint64>(count)) {
            if (!port_.waitForReadyRead(5000))
                throw std::runtime_error("QSerialPort read timed out");
        }
        port_.read(buffer, static_cast<qint64>(count));
    }

private:
    QSerialPort port_;
};

} // namespace

std::unique_ptr<TContender> MakeQSerialPortContender()
{
    return std::make_unique<TQSerialPortContender>();
}
