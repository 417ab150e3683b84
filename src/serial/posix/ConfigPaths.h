#pragma once

#include <filesystem>

// Where the serial component keeps what outlives a run: the user's port map
// and stored settings, and the settings stored for every user of the machine.
namespace ConfigPaths {

// $XDG_CONFIG_HOME/mirelda, by default ~/.config/mirelda.
std::filesystem::path UserDirectory();

// $MIRELDA_MACHINE_CONFIG_DIR, by default /var/lib/mirelda.
std::filesystem::path MachineDirectory();

} // namespace ConfigPaths
