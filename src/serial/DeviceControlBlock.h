#pragma once

#include "serial/ComDevice.h"

class TCustomComPort;
class TComTimeouts;

// The device control block for a port's settings; every field not taken
// from the settings is zero.
TDeviceControlBlock MakeDeviceControlBlock(const TCustomComPort& port);

// The five time-outs as the device's unsigned values (-1 becomes all ones).
TCommTimeouts MakeCommTimeouts(const TComTimeouts& timeouts);
