#pragma once

// Everything a program needs to use the serial port component.

#include "serial/ComDevice.h"
#include "serial/ComErrors.h"
#include "serial/ComPort.h"
#include "serial/ComSettings.h"
#include "serial/ComTexts.h"
#include "serial/ComTransfers.h"
#include "serial/ComTypes.h"
#include "serial/DeviceControlBlock.h"
#include "serial/posix/IniFile.h"
#include "serial/posix/Registry.h"
