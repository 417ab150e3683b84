#pragma once

#include "serial/ComDevice.h"

// The kernel's termios2 (any baud rate through BOTHER). This header must not
// meet <termios.h> in one translation unit: both define struct termios.
#include <asm/termbits.h>

// How a modem output line is driven after the line settings change.
enum class TLineLevel {
    Off,
    On,
    Kernel, // left to the kernel's RTS/CTS flow control
};

struct TTermiosMapping {
    int Error = 0; // EINVAL for a combination the serial driver refuses
    termios2 Termios{};
    TLineLevel Dtr = TLineLevel::Off;
    TLineLevel Rts = TLineLevel::Off;
};

// The termios settings for a device control block, starting from the
// device's current ones. markLineStatus asks the kernel to mark errored
// characters and breaks in the input (PARMRK), for devices that can have
// them; parity checking asks for it always.
//
// Linux cannot do everything the block asks for:
// - RTS/CTS flow is one flag for both directions (CRTSCTS); either the CTS
//   output flow or RTS handshaking turns it on.
// - DSR output flow and DTR handshaking do not exist; DTR handshaking holds
//   DTR on. RTS toggling holds RTS on: devices that need it are put in the
//   driver's RS-485 mode, which is set up outside this program.
// - "Transmit continues on Xoff" and the Xon/Xoff limits have no setting: the
//   kernel sends Xoff/Xon by the fill level of its own input buffer.
// The event character, discarding NULs, DSR sensitivity and the error
// replacement character are done in user space by the device.
TTermiosMapping MapToTermios(const TDeviceControlBlock& dcb, const termios2& current, bool markLineStatus);
