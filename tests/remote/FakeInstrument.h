#pragma once

#include "remote/Instrument.h"
#include "remote/ScpiErrors.h"

#include "common/Exception.h"

#include <string>
#include <vector>

// An instrument that keeps what it is told and logs the actions.
class TFakeInstrument : public TInstrument {
public:
    std::string Identity() const override { return "Mirelda,Mirelda,0,2.10"; }
    void Reset() override { actions.push_back("reset"); }
    std::string Exposure() const override { return exposure; }
    void SetExposure(const std::string& text) override { exposure = text; }
    int Average() const override { return average; }
    void SetAverage(int depth) override
    {
        if (depth < 1 || depth > 64)
            throw EScpiError(ScpiError::DataOutOfRange, "1 to 64");
        average = depth;
    }
    void Initiate() override { actions.push_back("initiate"); }
    bool Continuous() const override { return continuous; }
    void SetContinuous(bool on) override { continuous = on; }
    void Abort() override { actions.push_back("abort"); }
    std::vector<double> Spectrum() const override { return spectrum; }
    std::vector<std::int32_t> Readings() const override { return readings; }
    std::vector<double> Wavelengths() const override { return wavelengths; }
    std::int64_t FrameCount() const override { return frames; }
    void TakeDark() override { actions.push_back("dark"); }
    void TakeReference() override { throw Exception("There is no frame to take as the reference yet"); }
    TMode Mode() const override { return mode; }
    void SetMode(TMode m) override { mode = m; }
    std::vector<std::string> Status() const override { return {"Frames: 3", "Stopped: \"x\""}; }
    std::string Port() const override { return port; }
    void SetPort(const std::string& name) override { port = name; }
    bool IsOpen() const override { return open; }
    void Open() override { open = true; }
    void Close() override { open = false; }

    std::vector<std::string> actions;
    std::string exposure = "100";
    int average = 1;
    bool continuous = false;
    std::vector<double> spectrum;
    std::vector<std::int32_t> readings;
    std::vector<double> wavelengths;
    std::int64_t frames = 0;
    TMode mode = TMode::Scope;
    std::string port = "COM11";
    bool open = false;
};
