#include "app/AcquisitionStatus.h"

#include "app/FrameDecoder.h"
#include "common/Exception.h"

#include <gtest/gtest.h>

#include <cerrno>

using namespace std::chrono_literals;

namespace {

using TLines = std::vector<std::string>;

class AcquisitionStatusTest : public ::testing::Test {
protected:
    TAcquisitionStatus::TTime At(std::chrono::milliseconds offset) const { return start + offset; }

    const TAcquisitionStatus::TTime start = TAcquisitionStatus::TClock::now();
    TAcquisitionStatus status;
};

TEST_F(AcquisitionStatusTest, CountsFramesRateAndAgeOfTheLastFrame)
{
    EXPECT_EQ(status.Lines(At(0ms)),
              TLines({"Frames: 0", "Rate: 0.0 frames/s", "Last frame: none yet", "Stopped: the port is closed"}));
    status.Opened(At(0ms));
    EXPECT_EQ(status.Lines(At(300ms)), TLines({"Frames: 0", "Rate: 0.0 frames/s", "Last frame: none yet"}));

    // 25 frames a second for 4 s: the rate is taken over the last 2 s, or
    // over the time since opening while that is shorter.
    for (int i = 1; i <= 100; ++i) {
        status.ExposureSent(At(i * 40ms - 40ms));
        status.FramePlotted(At(i * 40ms));
        if (i == 10) {
            EXPECT_EQ(status.Lines(At(420ms)), TLines({"Frames: 10", "Rate: 23.8 frames/s", "Last frame: 0.0 s ago"}));
        }
    }
    EXPECT_EQ(status.Lines(At(4010ms)), TLines({"Frames: 100", "Rate: 25.0 frames/s", "Last frame: 0.0 s ago"}));
    // Without a new exposure nothing is awaited: only the rate falls.
    EXPECT_EQ(status.Lines(At(5000ms)), TLines({"Frames: 100", "Rate: 12.5 frames/s", "Last frame: 1.0 s ago"}));

    // Opening again starts the counts anew.
    status.Closed();
    EXPECT_EQ(status.Lines(At(65000ms)).back(), "Stopped: the port is closed");
    status.Opened(At(66000ms));
    EXPECT_EQ(status.Lines(At(66500ms)), TLines({"Frames: 0", "Rate: 0.0 frames/s", "Last frame: none yet"}));
}

TEST_F(AcquisitionStatusTest, SaysWhyAcquisitionStopped)
{
    status.SetNoAnswerLimit(5s);
    status.Opened(At(0ms));
    status.ExposureSent(At(0ms));
    EXPECT_FALSE(status.Stopped(At(4999ms)));
    EXPECT_EQ(status.Lines(At(7200ms)).back(), "Stopped: no answer to the last exposure for 7 s");
    status.FramePlotted(At(7300ms));
    EXPECT_FALSE(status.Stopped(At(20s)));
    status.ExposureSent(At(7301ms));
    EXPECT_EQ(status.Lines(At(12301ms)).back(), "Stopped: no answer to the last exposure for 5 s");

    // A vanished device explains an error that came before it, never after;
    // the texts of the others are checked end to end.
    status.Opened(At(0ms));
    status.HandlerFailed(EReadingError(EConvertError("'' is not a valid integer value"), 6, ""));
    EXPECT_EQ(status.Lines(At(100ms)).back(), "Stopped: '' on line 6 is not a valid integer value");
    status.DeviceGone("COM11", EIO);
    status.HandlerFailed(Exception("ReadFile function failed (Error: 5)"));
    status.Closed();
    EXPECT_EQ(status.Lines(At(100ms)),
              TLines({"Frames: 0", "Rate: 0.0 frames/s", "Last frame: none yet",
                      "Stopped: COM11 is gone (Input/output error)"}));
    status.SetReconnecting("COM11", true);
    EXPECT_EQ(status.Lines(At(100ms)).back(), "Reconnecting when COM11 returns");
    status.SetReconnecting("COM11", false);
    EXPECT_EQ(status.Lines(At(300ms)).back(), "Stopped: COM11 is gone (Input/output error)");
}

TEST_F(AcquisitionStatusTest, AnAnswerOnItsWayIsNoSilence)
{
    // A frame that takes longer than the limit to come, at a low baud rate:
    // the read-out must not say acquisition stopped while its bytes come.
    status.SetNoAnswerLimit(5s);
    status.Opened(At(0ms));
    status.ExposureSent(At(0ms));
    for (auto t = 1s; t <= 9s; t += 1s)
        status.BytesReceived(At(t));
    EXPECT_FALSE(status.Stopped(At(13900ms)));
    EXPECT_EQ(status.Lines(At(14000ms)).back(), "Stopped: no answer to the last exposure for 14 s");
    status.FramePlotted(At(14100ms));
    status.ExposureSent(At(14101ms));
    EXPECT_FALSE(status.Stopped(At(14200ms)));
    status.FrameCut();
    status.FramePlotted(At(14300ms), true);
    EXPECT_EQ(status.Lines(At(14300ms)),
              TLines({"Frames: 2", "Rate: 1.0 frames/s", "Last frame: 0.0 s ago", "Cut frames dropped: 1",
                      "No reading in the last frame: lines end in LF only?"}));
}

} // namespace
