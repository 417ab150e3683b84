#include "serial_ui/posix/SysfsSerialPorts.h"

#include <algorithm>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool HasDriver(const fs::path& entry)
{
    std::error_code error;
    return fs::exists(fs::symlink_status(entry / "device" / "driver", error));
}

// The serial core's port type; 0 means no hardware was found at the port.
bool WithoutHardware(const fs::path& entry)
{
    std::ifstream typeFile(entry / "type");
    int type = -1;
    return (typeFile >> type) && type == 0;
}

} // namespace

std::vector<std::string> SysfsSerialDevices(const fs::path& ttyClassDirectory)
{
    std::vector<std::string> devices;
    std::error_code error;
    for (fs::directory_iterator entry(ttyClassDirectory, error), end; !error && entry != end;
         entry.increment(error)) {
        if (!HasDriver(entry->path()) || WithoutHardware(entry->path()))
            continue;
        // sysfs shows the "/" of a device in a subdirectory of /dev as "!".
        std::string name = entry->path().filename().string();
        std::ranges::replace(name, '!', '/');
        devices.push_back("/dev/" + name);
    }
    return devices;
}
