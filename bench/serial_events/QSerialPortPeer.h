#pragma once

#include <string>
#include <vector>

// Latencies (microseconds) from a byte written on the far side of a
// pseudo-terminal to QSerialPort's readyRead on the UI thread.
std::vector<double> MeasureQSerialPortLatency(int events);
