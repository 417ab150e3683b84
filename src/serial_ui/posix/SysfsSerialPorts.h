#pragma once

#include <filesystem>
#include <string>
#include <vector>

// The serial devices the kernel knows, read from its tty class directory
// (/sys/class/tty), as device paths under /dev, in no particular order.
// Every entry with a driver behind it counts: USB adapters, on-board, PCI
// and platform UARTs, any other driver's ports. Left out are entries without
// a driver (pseudo-terminals, virtual consoles) and serial ports whose type
// reads 0: the kernel makes those (the legacy ttyS*) without hardware.
//
// Nothing is opened: opening a serial device can reconfigure it under a
// program that is using it.
std::vector<std::string> SysfsSerialDevices(const std::filesystem::path& ttyClassDirectory);
