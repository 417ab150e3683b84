#pragma once

#include <exception>
#include <filesystem>
#include <string>

// What a failure of the serial port means on this system and what the
// operator can do about it: the device path the port name stands for, the
// system's reason, and where it helps the remedy (the group to join for a
// device the user may not open, the port map and the ports that do exist
// for a name that is no device). Empty for failures it cannot say more
// about. The text is 8-bit; lines are separated by LF. Tests give a fake
// tty class directory.
std::string OpenErrorAdvice(const std::exception& error, const std::string& portName,
                            const std::filesystem::path& ttyClassDirectory = "/sys/class/tty");

// Whether a system error number is one a vanished device answers with.
bool DeviceGoneError(int osError);
