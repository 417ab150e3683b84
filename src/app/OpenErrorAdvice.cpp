#include "app/OpenErrorAdvice.h"

#include "serial/ComErrors.h"
#include "serial/posix/PortMap.h"
#include "serial_ui/SerialPorts.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

// How the port name became the path, where that is not plain to see.
std::string NameSource(const std::string& portName, const fs::path& path)
{
    if (portName.empty() || portName.front() == '/')
        return {};
    std::error_code ignored;
    const fs::path entry = PortMap::Directory() / portName;
    if (portName.find('/') == std::string::npos && fs::is_symlink(fs::symlink_status(entry, ignored)))
        return "\nThe port map (" + PortMap::Directory().string() + ") gives " + portName + " as " + path.string()
               + ".";
    return "\n" + portName + " is not in the port map (" + PortMap::Directory().string() + "), so it names "
           + path.string() + "; a link of that name in the port map points it to a device.";
}

std::string ExistingPorts(const fs::path& ttyClassDirectory)
{
    std::vector<std::string> ports;
    ListSerialPorts(ports, ttyClassDirectory);
    if (ports.empty())
        return "\nNo serial port is there now.";
    std::string list;
    for (const std::string& port : ports)
        list += (list.empty() ? "" : ", ") + port;
    return "\nPorts that exist: " + list + ".";
}

bool CurrentUserListedIn(const group& entry)
{
    const passwd* user = getpwuid(getuid());
    if (!user || !entry.gr_mem)
        return false;
    for (char** member = entry.gr_mem; *member; ++member)
        if (std::string(*member) == user->pw_name)
            return true;
    return false;
}

std::string PermissionAdvice(const fs::path& path, const std::string& reason)
{
    const std::string refused = "You may not open " + path.string() + " (" + reason + ")";
    struct stat status {};
    const group* owner = stat(path.c_str(), &status) == 0 ? getgrgid(status.st_gid) : nullptr;
    const bool groupMayUse = (status.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
    if (!owner || status.st_gid == 0 || !groupMayUse)
        return refused + ", and no group of users may either. Ask the administrator for access to it.";
    const std::string name = owner->gr_name;
    if (CurrentUserListedIn(*owner))
        return refused + ". You are in its group " + name
               + ", but this session began before you joined it: log out and in again.";
    return refused + ". It belongs to the group " + name + "; add yourself to that group with\n    sudo usermod -aG "
           + name + " $USER\nthen log out and in again.";
}

std::string OpenAdvice(int error, const std::string& portName, const fs::path& path, const std::string& reason,
                       const fs::path& ttyClassDirectory)
{
    const std::string device = path.string();
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return "There is no device " + device + " (" + reason + ")." + NameSource(portName, path)
               + ExistingPorts(ttyClassDirectory);
    case EACCES:
    case EPERM:
        return PermissionAdvice(path, reason);
    case EBUSY:
        return device + " is in use by another program (" + reason + "). Close that program, or choose another port.";
    case ENOTTY:
    case EINVAL:
        return device + " is not a serial device (" + reason + "). Choose another port." + NameSource(portName, path);
    default:
        if (DeviceGoneError(error))
            return "No device answers at " + device + " (" + reason
                   + "): the hardware behind it is missing. Check the cable, or choose another port.";
        return device + ": " + reason + ".";
    }
}

} // namespace

std::string OpenErrorAdvice(const std::exception& error, const std::string& portName,
                            const fs::path& ttyClassDirectory)
{
    const auto* failure = dynamic_cast<const EComPort*>(&error);
    if (!failure || failure->OsError() <= 0)
        return {};
    const int osError = failure->OsError();
    const fs::path path = PortMap::ResolveDevicePath(portName);
    const std::string reason = std::generic_category().message(osError);
    switch (failure->FailureCode()) {
    case ComErrorCode(CE_OpenFailed):
        return OpenAdvice(osError, portName, path, reason, ttyClassDirectory);
    case ComErrorCode(CE_SetStateFailed):
    case ComErrorCode(CE_TimeoutsFailed):
    case ComErrorCode(CE_SetupComFailed):
        return "The device " + path.string() + " refused the port's settings (" + reason
               + "). Check the baud rate and the other serial settings.";
    default:
        if (DeviceGoneError(osError))
            return "The device " + path.string() + " is gone (" + reason
                   + "). Plug it in again, then close and open the port.";
        return {};
    }
}

bool DeviceGoneError(int osError)
{
    return osError == EIO || osError == ENXIO || osError == ENODEV;
}
