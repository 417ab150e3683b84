#pragma once

#include "simulator/FrameBuilder.h"
#include "simulator/SampleOptions.h"
#include "simulator/LampOptions.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

struct TSimulatorOptions {
    std::string Name = "COM11";
    int Baud = 0; // 0: unthrottled
    TLineEnd LineEnd = TLineEnd::CrLf;
    int ChunkMin = 0; // 0: no random chunking
    int ChunkMax = 0;
    int MalformedEvery = 0; // 0: never
    uint64_t Frames = 0;    // 0: until stopped
    int Fields = 512;
    uint32_t Seed = 1;
    TSampleOptions Sample; // the sensor and what lies in the beam
    TLampOptions Lamp;
    bool Help = false;
};

// An option the simulator does not have; answered with the usage.
class EUnknownSimulatorOption : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// Reads the command line (without the program name); "--opt value" and
// "--opt=value" both work. Throws EUnknownSimulatorOption for an option it
// does not have, and std::invalid_argument with a message for the operator
// on anything else it cannot use.
TSimulatorOptions ParseSimulatorOptions(const std::vector<std::string>& arguments);

std::string SimulatorUsage();
