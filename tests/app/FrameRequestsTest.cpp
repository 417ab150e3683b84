#include "app/FrameRequests.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

TEST(FrameRequestsTest, OwesOneFramePerRequestUntilTheDeviceFallsSilent)
{
    TFrameRequests requests;
    const TFrameRequests::TClock::time_point t0{};
    requests.RequestSent(t0);
    // Line ends after an 'e' are no frame begun; any other byte is.
    requests.LogCleared("\r\n");
    requests.RequestSent(t0 + 1s);
    EXPECT_TRUE(requests.FrameEnded());
    EXPECT_FALSE(requests.NextRequestDue());
    requests.LogCleared("H1\r");
    EXPECT_FALSE(requests.NextRequestDue());
    EXPECT_FALSE(requests.FrameEnded()) << "its beginning was cleared";
    EXPECT_TRUE(requests.NextRequestDue());
    EXPECT_EQ(requests.CutFrames(), 1);

    // A request the device never answered is let go after the lapse, so the
    // operator's next one starts a single cycle again.
    requests.RequestSent(t0 + 2s);
    requests.BytesArrived(t0 + 3s);
    requests.RequestSent(t0 + 3s + TFrameRequests::RequestLapse);
    EXPECT_TRUE(requests.FrameEnded());
    EXPECT_TRUE(requests.NextRequestDue());

    EXPECT_EQ(NextFrameStart("..e\r\nH1", 3), 5);
    EXPECT_EQ(NextFrameStart("..e", 3), 3);
}

} // namespace
