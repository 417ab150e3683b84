#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Replaces the content of list with the installed serial ports, sorted
// without regard to letter case (COM10 before COM2): the names of the
// user's port map whose device is present, and the serial devices found in
// the kernel's tty class directory, as device paths. Every name is one that
// Connect opens; nothing is opened to find them. Tests give a fake tty class
// directory.
void ListSerialPorts(std::vector<std::string>& list,
                     const std::filesystem::path& ttyClassDirectory = "/sys/class/tty");
