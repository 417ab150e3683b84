#pragma once

#include "FarSide.h"

// Latencies (microseconds) from a byte written on the far side of a
// pseudo-terminal to TComPort's OnRxChar on the UI thread (smThreadSync).
LatencyRun MeasureComPortLatency(int events);

// CPU time (milliseconds) the port's event thread uses while the port is
// open and the line is quiet for the given time.
double MeasureIdleEventThreadCpu(int seconds);

struct StressResult {
    int Cycles = 0;
    long Deliveries = 0;
    int LeakedDescriptors = 0;
    int LeakedThreads = 0;
    double Seconds = 0;
};

// Opens and closes a port again and again while the far side floods it and
// the handlers read, rotating through the three delivery modes.
StressResult RunOpenCloseStress(int cycles);
