#pragma once

#include <cstddef>
#include <string>

// A pseudo-terminal pair in raw mode. The program opens PortPath() as its
// serial port; the simulator talks through ControllerFd() (non-blocking).
// The simulator keeps a port descriptor of its own open, so the program can
// open and close the port any number of times without the controller side
// seeing a hang-up.
class TPseudoTerminal {
public:
    TPseudoTerminal(); // throws std::system_error
    ~TPseudoTerminal();
    TPseudoTerminal(const TPseudoTerminal&) = delete;
    TPseudoTerminal& operator=(const TPseudoTerminal&) = delete;

    int ControllerFd() const { return controllerFd; }
    const std::string& PortPath() const { return portPath; }

    // Bytes in the port's input queue, not yet read by the program. Bytes
    // just written to the controller show up here only a moment later.
    size_t UnreadByPort() const;

private:
    int controllerFd = -1;
    int portFd = -1;
    std::string portPath;
};
