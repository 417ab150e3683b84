#pragma once

#include <filesystem>
#include <string>
#include <vector>

// The user's port map: a directory of symbolic links that gives serial
// devices the names a program asks for ("COM11" -> /dev/pts/3, or a USB
// adapter). It lives in $XDG_CONFIG_HOME/mirelda/ports, by default
// ~/.config/mirelda/ports.
namespace PortMap {

std::filesystem::path Directory();

// The device path a port name stands for: a name starting with "/" is a path
// already; a name found in the port map gives the link's target; any other
// name is a device under /dev.
std::filesystem::path ResolveDevicePath(const std::string& portName);

// The names of the entries whose device is present, in no particular
// order. Nothing is opened: a link to a device that is gone is left out.
std::vector<std::string> Names();

// Enters name -> devicePath into the map, replacing an entry of that name.
// Throws std::filesystem::filesystem_error when the map cannot be written.
void Register(const std::string& portName, const std::filesystem::path& devicePath);

// Removes the entry; a missing entry is not an error.
void Unregister(const std::string& portName);

} // namespace PortMap
