#include "simulator/LinePacer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

namespace {

using namespace std::chrono_literals;

const TClock::time_point Start = TClock::time_point() + 1h;

TEST(LinePacerTest, UnpacedFrameIsOneWriteDueAtOnce)
{
    TLinePacer pacer(0, 0, 0, 1);
    const std::vector<TDelivery> plan = pacer.Plan(2600, Start);
    ASSERT_EQ(plan.size(), 1u);
    EXPECT_EQ(plan[0].End, 2600u);
    EXPECT_EQ(plan[0].Due, Start);
}

TEST(LinePacerTest, PacedWritesAreDueWhenTheirLastByteWouldArrive)
{
    // 11520 bytes a second: 1152 bytes take 100 ms, written 11 at a time.
    TLinePacer pacer(115200, 0, 0, 1);
    const std::vector<TDelivery> plan = pacer.Plan(1152, Start);
    ASSERT_EQ(plan.size(), 105u);
    EXPECT_EQ(plan[0].End, 11u);
    EXPECT_EQ(plan[0].Due - Start, std::chrono::nanoseconds(11 * 10 * 1'000'000'000LL / 115200));
    EXPECT_EQ(plan.back().End, 1152u);
    EXPECT_EQ(plan.back().Due, Start + 100ms);

    // A frame asked for while the last is still on the line starts after it.
    EXPECT_EQ(pacer.Plan(1152, Start + 40ms).back().Due, Start + 200ms);
    EXPECT_EQ(pacer.Plan(1152, Start + 1s).back().Due, Start + 1100ms);
}

TEST(LinePacerTest, RandomChunksCoverTheFrameWithinTheirRangeAndRepeatWithTheSeed)
{
    TLinePacer pacer(0, 3, 17, 42);
    TLinePacer again(0, 3, 17, 42);
    const std::vector<TDelivery> plan = pacer.Plan(5000, Start);
    const std::vector<TDelivery> replay = again.Plan(5000, Start);
    ASSERT_EQ(plan.size(), replay.size());
    size_t previous = 0;
    for (size_t i = 0; i < plan.size(); ++i) {
        EXPECT_EQ(plan[i].End, replay[i].End);
        EXPECT_EQ(plan[i].Due, Start);
        const size_t size = plan[i].End - previous;
        EXPECT_LE(size, 17u);
        if (i + 1 < plan.size()) {
            EXPECT_GE(size, 3u);
        }
        previous = plan[i].End;
    }
    EXPECT_EQ(previous, 5000u);
}

TEST(LinePacerTest, EmptyFrameNeedsNoWrite)
{
    TLinePacer pacer(9600, 0, 0, 1);
    EXPECT_TRUE(pacer.Plan(0, Start).empty());
}

} // namespace
