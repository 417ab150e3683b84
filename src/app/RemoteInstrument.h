#pragma once

#include "app/FrameRequests.h"
#include "remote/Instrument.h"

#include <QObject>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

class TForm1;

// The acquisition window as a remote client sees it. Every command works
// through the window's own controls and handlers on the user-interface
// thread, so the window shows what the client changed: the exposure field,
// the checked averaging depth, the open button's caption.
//
// Frames: the window asks for the next frame after each one. A single
// frame (INITiate) or ABORt turns that off until continuous acquisition is
// asked for again, by a client or by the operator's "Send Exposure". A new
// exposure is sent only when no answer to the last one is still owed, or
// the answer is overdue.
class TRemoteInstrument : public QObject, public TInstrument {
    Q_OBJECT
public:
    // An exposure without an answer for this long is taken as lost, as the
    // window's own request bookkeeping does.
    static constexpr std::chrono::seconds AnswerPatience = TFrameRequests::RequestLapse;
    // SCPI's "not a number": a gap in a processed spectrum.
    static constexpr double ScpiNotANumber = 9.91e37;

    explicit TRemoteInstrument(TForm1& form);

    std::string Identity() const override;
    void Reset() override;
    std::string Exposure() const override;
    void SetExposure(const std::string& text) override;
    int Average() const override;
    void SetAverage(int depth) override;
    void Initiate() override;
    bool Continuous() const override;
    void SetContinuous(bool continuous) override;
    void Abort() override;
    std::vector<double> Spectrum() const override { return spectrum_; }
    std::vector<std::int32_t> Readings() const override { return readings_; }
    std::vector<double> Wavelengths() const override { return wavelengths_; }
    std::int64_t FrameCount() const override { return frames_; }
    void TakeDark() override;
    void TakeReference() override;
    TMode Mode() const override;
    void SetMode(TMode mode) override;
    std::vector<std::string> Status() const override;
    std::string Port() const override;
    void SetPort(const std::string& name) override;
    bool IsOpen() const override;
    void Open() override;
    void Close() override;

private:
    // Keeps the frame just plotted for the fetch commands.
    void FramePlotted();
    void RequireOpen() const;
    // Sends the exposure unless an answer to the last one is awaited.
    void SendExposure();

    TForm1& form_;
    std::vector<double> spectrum_;
    std::vector<std::int32_t> readings_;
    std::vector<double> wavelengths_;
    std::int64_t frames_ = 0;
    std::chrono::steady_clock::time_point exposureSent_;
};
