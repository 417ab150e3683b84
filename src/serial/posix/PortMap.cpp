#include "serial/posix/PortMap.h"

#include "serial/posix/ConfigPaths.h"

#include <system_error>

namespace fs = std::filesystem;

namespace PortMap {

fs::path Directory()
{
    return ConfigPaths::UserDirectory() / "ports";
}

fs::path ResolveDevicePath(const std::string& portName)
{
    if (!portName.empty() && portName.front() == '/')
        return portName;
    // A name with a path separator cannot be a map entry and must not walk
    // out of the map or /dev.
    if (!portName.empty() && portName.find('/') == std::string::npos) {
        const fs::path entry = Directory() / portName;
        std::error_code error;
        if (fs::is_symlink(fs::symlink_status(entry, error))) {
            fs::path target = fs::read_symlink(entry, error);
            if (!error)
                return target.is_absolute() ? target : entry.parent_path() / target;
        }
    }
    return fs::path("/dev") / portName;
}

std::vector<std::string> Names()
{
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator entry(Directory(), error), end; !error && entry != end; entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        // Dot names are entries being made by Register.
        std::error_code ignored;
        if (name.front() != '.' && entry->is_symlink(ignored) && fs::exists(entry->path(), ignored))
            names.push_back(name);
    }
    return names;
}

void Register(const std::string& portName, const fs::path& devicePath)
{
    const fs::path directory = Directory();
    fs::create_directories(directory);
    // Link under a temporary name, then rename over the entry: a reader never
    // sees the name missing or half made.
    const fs::path temporary = directory / ("." + portName + ".new");
    fs::remove(temporary);
    fs::create_symlink(devicePath, temporary);
    fs::rename(temporary, directory / portName);
}

void Unregister(const std::string& portName)
{
    std::error_code ignored;
    fs::remove(Directory() / portName, ignored);
}

} // namespace PortMap
