#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What a remote client can do with the spectrometer program. The program
// implements it through its own controls, so every change shows where the
// operator would have made it. A call that cannot be carried out raises an
// EScpiError, or any Exception, whose message the client gets as an
// execution error.
class TInstrument {
public:
    enum class TMode { Scope, Dark, Transmittance, Absorbance };

    virtual ~TInstrument() = default;

    // The program's name and version, as *IDN? gives them.
    virtual std::string Identity() const = 0;
    // *RST: acquisition stopped, no averaging, no dark frame.
    virtual void Reset() = 0;

    // The exposure field's 8-bit text.
    virtual std::string Exposure() const = 0;
    virtual void SetExposure(const std::string& text) = 0;
    // Frames averaged; a depth the program does not offer is out of range.
    virtual int Average() const = 0;
    virtual void SetAverage(int depth) = 0;

    // One frame, or frames until stopped.
    virtual void Initiate() = 0;
    virtual bool Continuous() const = 0;
    virtual void SetContinuous(bool continuous) = 0;
    // No frame is asked for after the one on its way.
    virtual void Abort() = 0;

    // The last complete frame: the plotted values, the readings and the x
    // axis (pixels, or nm when calibrated); all empty before the first.
    virtual std::vector<double> Spectrum() const = 0;
    virtual std::vector<std::int32_t> Readings() const = 0;
    virtual std::vector<double> Wavelengths() const = 0;
    // Frames plotted since the program started; it only grows.
    virtual std::int64_t FrameCount() const = 0;

    virtual void TakeDark() = 0;
    virtual void TakeReference() = 0;
    virtual TMode Mode() const = 0;
    virtual void SetMode(TMode mode) = 0;

    // The status read-out's lines.
    virtual std::vector<std::string> Status() const = 0;

    virtual std::string Port() const = 0;
    virtual void SetPort(const std::string& name) = 0;
    virtual bool IsOpen() const = 0;
    virtual void Open() = 0;
    virtual void Close() = 0;
};
