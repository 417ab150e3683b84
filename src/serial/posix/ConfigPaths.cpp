#include "serial/posix/ConfigPaths.h"

#include <cstdlib>

namespace fs = std::filesystem;

namespace ConfigPaths {

fs::path UserDirectory()
{
    // A relative XDG_CONFIG_HOME is invalid and ignored, as the XDG rules say.
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome && configHome[0] == '/')
        return fs::path(configHome) / "mirelda";
    const char* home = std::getenv("HOME");
    return fs::path(home ? home : "/") / ".config" / "mirelda";
}

fs::path MachineDirectory()
{
    const char* machine = std::getenv("MIRELDA_MACHINE_CONFIG_DIR");
    if (machine && machine[0] != '\0')
        return fs::path(machine);
    return "/var/lib/mirelda";
}

} // namespace ConfigPaths
