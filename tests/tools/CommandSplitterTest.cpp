#include "simulator/CommandSplitter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Commands = std::vector<std::string>;

Commands Feed(TCommandSplitter& splitter, std::string_view bytes)
{
    Commands commands;
    splitter.Feed(bytes, commands);
    return commands;
}

TEST(CommandSplitterTest, CrOrLfClosesACommandAndAPairCountsOnce)
{
    TCommandSplitter splitter;
    EXPECT_EQ(Feed(splitter, "100\r\n"), Commands{"100"});
    EXPECT_EQ(Feed(splitter, "100\n\r"), Commands{"100"});
    EXPECT_EQ(Feed(splitter, "7\r8\n9\r\n"), (Commands{"7", "8", "9"}));
    EXPECT_EQ(Feed(splitter, "\r\r\n\n"), (Commands{"", "", ""}));
    EXPECT_FALSE(splitter.HasPartial());
}

TEST(CommandSplitterTest, PairSplitAcrossReadsStillCountsOnce)
{
    TCommandSplitter splitter;
    EXPECT_EQ(Feed(splitter, "1"), Commands{});
    EXPECT_EQ(Feed(splitter, "00\r"), Commands{"100"});
    EXPECT_EQ(Feed(splitter, "\n"), Commands{});
    EXPECT_EQ(Feed(splitter, "\n"), Commands{""});
}

TEST(CommandSplitterTest, TextWithoutLineEndWaitsToBeTaken)
{
    TCommandSplitter splitter;
    EXPECT_EQ(Feed(splitter, "5\r\n12"), Commands{"5"});
    EXPECT_TRUE(splitter.HasPartial());
    EXPECT_EQ(splitter.TakePartial(), "12");
    EXPECT_FALSE(splitter.HasPartial());
    EXPECT_EQ(Feed(splitter, "3\n"), Commands{"3"});
}

} // namespace
