#pragma once

#include <chrono>
#include <deque>
#include <exception>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The status read-out's lines: how acquisition goes and, once it stands
// still, why. It is told what happens, with the time it happened, and
// answers with texts for a given moment:
//
//   Frames: 1234                  frames plotted since the port opened
//   Rate: 24.8 frames/s           frames plotted in the last 2 s, per second
//   Last frame: 0.1 s ago         or "Last frame: none yet"
//   Stopped: <why>                once acquisition stands still
//   Cut frames dropped: 2         frames a clear of the log cut short
//   No reading in the last frame: lines end in LF only?
//   Reconnecting when COM11 returns
//
// Why it stopped: "'<text>' on line <n> is not a valid integer value" (a
// reading the frame decoder refused), "<port> is gone (<reason>)" (the
// device vanished), "no answer to the last exposure for <n> s" (after
// NoAnswerLimit without a frame), "the port is closed", or the message of
// any other error that ended the port's event handling.
class TAcquisitionStatus {
public:
    using TClock = std::chrono::steady_clock;
    using TTime = TClock::time_point;
    static constexpr std::chrono::seconds RateWindow{2};
    static constexpr std::chrono::seconds DefaultNoAnswerLimit{5};

    void SetNoAnswerLimit(std::chrono::milliseconds limit) { noAnswerLimit_ = limit; }

    // A new run: the counts start again.
    void Opened(TTime now);
    void Closed();
    void ExposureSent(TTime now);
    // Bytes of an answer came: a slow frame on its way is no silence.
    void BytesReceived(TTime now) { lastBytes_ = now; }
    // A frame that arrived at `arrived` was plotted; lfOnly when it held no
    // reading but line feeds.
    void FramePlotted(TTime arrived, bool lfOnly = false);
    // A frame cut short by a clear of the log was dropped.
    void FrameCut() { ++cutFrames_; }
    // An error ended the port's event handling: no more frames come.
    void HandlerFailed(const std::exception& error);
    void DeviceGone(const std::string& portName, int osError);
    // Whether the port is reopened when the device returns.
    void SetReconnecting(const std::string& portName, bool reconnecting);

    // Lines of the operator's measurement (mode, saturation, a missing
    // frame), shown after the others.
    void SetMeasurementLines(std::vector<std::string> lines) { measurementLines_ = std::move(lines); }

    int Frames() const { return frames_; }
    // Acquisition stands still, for a reason the lines give.
    bool Stopped(TTime now) const { return StopReason(now).has_value(); }
    std::vector<std::string> Lines(TTime now) const;

private:
    std::optional<std::string> StopReason(TTime now) const;

    std::chrono::milliseconds noAnswerLimit_ = DefaultNoAnswerLimit;
    bool open_ = false;
    std::optional<TTime> openedAt_;
    int frames_ = 0;
    int cutFrames_ = 0;
    bool lastFrameLfOnly_ = false;
    // The frames plotted within the rate window of the newest.
    std::deque<TTime> recentFrames_;
    std::optional<TTime> lastFrame_;
    std::optional<TTime> lastExposure_;
    std::optional<TTime> lastBytes_;
    std::optional<std::string> stopReason_;
    std::optional<std::string> reconnectPort_;
    std::vector<std::string> measurementLines_;
};
