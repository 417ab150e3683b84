#include "app/AcquisitionStatus.h"

#include "app/FrameDecoder.h"

#include <algorithm>
#include <cstdio>
#include <system_error>

namespace {

double Seconds(TAcquisitionStatus::TClock::duration duration)
{
    return std::chrono::duration<double>(duration).count();
}

std::string Format(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

} // namespace

void TAcquisitionStatus::Opened(TTime now)
{
    open_ = true;
    openedAt_ = now;
    frames_ = 0;
    cutFrames_ = 0;
    lastFrameLfOnly_ = false;
    recentFrames_.clear();
    lastFrame_.reset();
    lastExposure_.reset();
    lastBytes_.reset();
    stopReason_.reset();
}

void TAcquisitionStatus::Closed()
{
    open_ = false;
}

void TAcquisitionStatus::ExposureSent(TTime now)
{
    lastExposure_ = now;
}

void TAcquisitionStatus::FramePlotted(TTime arrived, bool lfOnly)
{
    ++frames_;
    lastFrameLfOnly_ = lfOnly;
    lastFrame_ = arrived;
    recentFrames_.push_back(arrived);
    while (recentFrames_.front() <= arrived - RateWindow)
        recentFrames_.pop_front();
}

void TAcquisitionStatus::HandlerFailed(const std::exception& error)
{
    // The first error ended the handling; a vanished device may have caused
    // it, and says so when it is noticed.
    if (stopReason_)
        return;
    if (const auto* reading = dynamic_cast<const EReadingError*>(&error))
        stopReason_ = std::string("'").append(reading->Text().toStdString()).append("' on line ")
                      + std::to_string(reading->Field()) + " is not a valid integer value";
    else
        stopReason_ = error.what();
}

void TAcquisitionStatus::DeviceGone(const std::string& portName, int osError)
{
    stopReason_ = portName + " is gone (" + std::generic_category().message(osError) + ")";
}

void TAcquisitionStatus::SetReconnecting(const std::string& portName, bool reconnecting)
{
    if (reconnecting)
        reconnectPort_ = portName;
    else
        reconnectPort_.reset();
}

std::optional<std::string> TAcquisitionStatus::StopReason(TTime now) const
{
    if (stopReason_)
        return stopReason_;
    if (!open_)
        return "the port is closed";
    const bool awaitingAnswer = lastExposure_ && (!lastFrame_ || *lastFrame_ < *lastExposure_);
    if (!awaitingAnswer)
        return std::nullopt;
    // Silent since the exposure, or fallen silent in the middle of the
    // answer: a slow frame on its way is no silence.
    const TTime lastSign = lastBytes_ ? std::max(*lastBytes_, *lastExposure_) : *lastExposure_;
    if (now - lastSign >= noAnswerLimit_)
        return "no answer to the last exposure for "
               + std::to_string(std::chrono::duration_cast<std::chrono::seconds>(now - *lastExposure_).count())
               + " s";
    return std::nullopt;
}

std::vector<std::string> TAcquisitionStatus::Lines(TTime now) const
{
    std::vector<std::string> lines{"Frames: " + std::to_string(frames_)};

    // Over the last RateWindow, or the time since opening when shorter.
    const auto inWindow = std::count_if(recentFrames_.begin(), recentFrames_.end(),
                                        [&](TTime t) { return t > now - RateWindow && t <= now; });
    const double span = openedAt_ ? std::min(Seconds(RateWindow), Seconds(now - *openedAt_)) : 0.0;
    lines.push_back(Format("Rate: %.1f frames/s", span > 0 ? double(inWindow) / span : 0.0));

    lines.push_back(lastFrame_ ? Format("Last frame: %.1f s ago", Seconds(now - *lastFrame_))
                               : std::string("Last frame: none yet"));
    if (const std::optional<std::string> reason = StopReason(now))
        lines.push_back("Stopped: " + *reason);
    if (cutFrames_ > 0)
        lines.push_back("Cut frames dropped: " + std::to_string(cutFrames_));
    if (lastFrameLfOnly_)
        lines.push_back("No reading in the last frame: lines end in LF only?");
    if (reconnectPort_)
        lines.push_back("Reconnecting when " + *reconnectPort_ + " returns");
    lines.insert(lines.end(), measurementLines_.begin(), measurementLines_.end());
    return lines;
}
