// Stores a port's settings again and again, for the fault tests. Generation
// g gives the port name and every integer setting a value made from g, so a
// file holding parts of two generations shows; after each store the program
// prints g.
//
//   serial_store_writer registry|ini <path> <component name> <first generation> <count, 0 for no end>
#include "serial/CPort.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 6)
        return 2;
    const TSettingsStorage kind = std::string(argv[1]) == "ini" ? ssIniFile : ssRegistry;
    TComPort port;
    port.SetName(argv[3]);
    port.SetStoredProps({spBasic, spBuffer, spTimeouts});
    port.SetBaudRate(brCustom);
    const long first = std::atol(argv[4]);
    const long count = std::atol(argv[5]);
    for (long g = first; count == 0 || g < first + count; ++g) {
        const auto value = static_cast<std::int32_t>(g);
        port.SetPort("G" + std::to_string(g));
        port.SetCustomBaudRate(value);
        port.Buffer().SetInputSize(2 * value);
        port.Buffer().SetOutputSize(2 * value);
        TComTimeouts& timeouts = port.Timeouts();
        timeouts.SetReadInterval(value);
        timeouts.SetReadTotalConstant(value);
        timeouts.SetReadTotalMultiplier(value);
        timeouts.SetWriteTotalConstant(value);
        timeouts.SetWriteTotalMultiplier(value);
        port.SaveSettings(kind, argv[2]);
        std::printf("%ld\n", g);
        std::fflush(stdout);
    }
    return 0;
}
