#pragma once

#include "FarSide.h"

// Latencies (microseconds) from a byte written on the far side of a
// pseudo-terminal to QSerialPort's readyRead on the UI thread.
LatencyRun MeasureQSerialPortLatency(int events);
