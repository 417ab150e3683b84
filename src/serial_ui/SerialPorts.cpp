#include "serial_ui/SerialPorts.h"

#include "serial/ComTexts.h"
#include "serial/posix/PortMap.h"
#include "serial_ui/posix/SysfsSerialPorts.h"

#include <algorithm>

void ListSerialPorts(std::vector<std::string>& list, const std::filesystem::path& ttyClassDirectory)
{
    std::vector<std::string> ports = PortMap::Names();
    std::ranges::move(SysfsSerialDevices(ttyClassDirectory), std::back_inserter(ports));
    // Names equal but for letter case keep one order between runs.
    std::ranges::sort(ports, [](const std::string& a, const std::string& b) {
        const int order = CompareText(a, b);
        return order != 0 ? order < 0 : a < b;
    });
    list = std::move(ports);
}
