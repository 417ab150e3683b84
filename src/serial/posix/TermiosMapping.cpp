#include "serial/posix/TermiosMapping.h"

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace {

struct TStandardRate {
    std::uint32_t rate;
    unsigned int code;
};

// Rates with a code of their own; drivers that predate BOTHER know these.
constexpr TStandardRate standardRates[] = {
    {50, B50},         {75, B75},         {110, B110},       {134, B134},       {150, B150},
    {200, B200},       {300, B300},       {600, B600},       {1200, B1200},     {1800, B1800},
    {2400, B2400},     {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},
    {57600, B57600},   {115200, B115200}, {230400, B230400}, {460800, B460800}, {500000, B500000},
    {576000, B576000}, {921600, B921600}, {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
    {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000}, {3500000, B3500000}, {4000000, B4000000},
};

unsigned int SpeedCode(std::uint32_t rate)
{
    for (const TStandardRate& entry : standardRates) {
        if (entry.rate == rate)
            return entry.code;
    }
    return BOTHER;
}

// The combinations the serial driver refuses: 1.5 stop bits go only with 5
// data bits and 2 stop bits never do; Xon and Xoff must differ.
bool Refused(const TDeviceControlBlock& dcb)
{
    if (dcb.ByteSize < 5 || dcb.ByteSize > 8 || dcb.Parity > 4 || dcb.StopBits > 2)
        return true;
    if (dcb.StopBits == 1 && dcb.ByteSize != 5)
        return true;
    if (dcb.StopBits == 2 && dcb.ByteSize == 5)
        return true;
    if (dcb.BaudRate == 0 || dcb.BaudRate > 0x7FFFFFFF)
        return true;
    return dcb.XonChar == dcb.XoffChar;
}

} // namespace

TTermiosMapping MapToTermios(const TDeviceControlBlock& dcb, const termios2& current, bool markLineStatus)
{
    TTermiosMapping mapping;
    mapping.Termios = current;
    if (Refused(dcb)) {
        mapping.Error = EINVAL;
        return mapping;
    }
    termios2& t = mapping.Termios;

    const bool checkParity = (dcb.Flags & Comm::DcbParity) != 0;
    t.c_iflag = 0;
    if (checkParity)
        t.c_iflag |= INPCK;
    if (checkParity || markLineStatus)
        t.c_iflag |= PARMRK;
    if (dcb.Flags & Comm::DcbOutX)
        t.c_iflag |= IXON;
    if (dcb.Flags & Comm::DcbInX)
        t.c_iflag |= IXOFF;
    t.c_oflag = 0;
    t.c_lflag = 0;

    static constexpr unsigned int sizes[] = {CS5, CS6, CS7, CS8};
    static constexpr unsigned int parities[] = {0, PARENB | PARODD, PARENB, PARENB | CMSPAR | PARODD,
                                                PARENB | CMSPAR};
    const std::uint32_t rts = dcb.Flags & Comm::DcbRtsControlMask;
    const bool hardwareFlow = (dcb.Flags & Comm::DcbOutxCtsFlow) || rts == Comm::DcbRtsControlHandshake;
    t.c_cflag = CREAD | CLOCAL | HUPCL | sizes[dcb.ByteSize - 5] | parities[dcb.Parity];
    // With 5 data bits the UART sends 1.5 stop bits for CSTOPB.
    if (dcb.StopBits != 0)
        t.c_cflag |= CSTOPB;
    if (hardwareFlow)
        t.c_cflag |= CRTSCTS;
    t.c_cflag |= SpeedCode(dcb.BaudRate);
    t.c_ispeed = dcb.BaudRate;
    t.c_ospeed = dcb.BaudRate;

    std::memset(t.c_cc, 0, sizeof t.c_cc);
    // Reads never block in the kernel: the descriptor is non-blocking and a
    // read with nothing there fails with EAGAIN instead of returning 0,
    // which is kept for a hung-up device.
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    t.c_cc[VSTART] = static_cast<cc_t>(dcb.XonChar);
    t.c_cc[VSTOP] = static_cast<cc_t>(dcb.XoffChar);

    mapping.Dtr = (dcb.Flags & Comm::DcbDtrControlMask) == 0 ? TLineLevel::Off : TLineLevel::On;
    if (rts == Comm::DcbRtsControlHandshake)
        mapping.Rts = TLineLevel::Kernel;
    else
        mapping.Rts = rts == 0 ? TLineLevel::Off : TLineLevel::On;
    return mapping;
}
