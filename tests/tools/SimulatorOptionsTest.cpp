#include "simulator/SimulatorOptions.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

TSimulatorOptions Parse(const std::vector<std::string>& arguments)
{
    return ParseSimulatorOptions(arguments);
}

std::string Refusal(const std::vector<std::string>& arguments)
{
    try {
        Parse(arguments);
    } catch (const std::invalid_argument& error) {
        return error.what();
    }
    return "accepted";
}

TEST(SimulatorOptionsTest, ReadsEveryOptionInBothForms)
{
    const TSimulatorOptions options = Parse({"--name", "SPEC2", "--baud=115200", "--line-end", "lfcr", "--chunks",
                                             "3-40", "--malformed-every=5", "--frames", "2000", "--fields",
                                             "2300", "--seed", "4294967295", "--help"});
    EXPECT_EQ(options.Name, "SPEC2");
    EXPECT_EQ(options.Baud, 115200);
    EXPECT_EQ(options.LineEnd, TLineEnd::LfCr);
    EXPECT_EQ(options.ChunkMin, 3);
    EXPECT_EQ(options.ChunkMax, 40);
    EXPECT_EQ(options.MalformedEvery, 5);
    EXPECT_EQ(options.Frames, 2000u);
    EXPECT_EQ(options.Fields, 2300);
    EXPECT_EQ(options.Seed, 4294967295u);
    EXPECT_TRUE(options.Help);
    EXPECT_EQ(Parse({"--line-end=lf"}).LineEnd, TLineEnd::Lf);
}

TEST(SimulatorOptionsTest, RefusesWhatItCannotUseSayingWhy)
{
    EXPECT_EQ(Refusal({"--baud", "fast"}), "--baud needs a whole number from 1 to 214748364, not 'fast'");
    // An unknown option is named as one wherever it stands, with or without a value.
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {"--speed", "1"}, {"--speed"}, {"--frames", "3", "--speed=2"}, {"-x"}})
        EXPECT_THROW(Parse(arguments), EUnknownSimulatorOption) << arguments[0];
    EXPECT_EQ(Refusal({"--speed"}), "unknown option '--speed'");
    EXPECT_EQ(Refusal({"--frames"}), "--frames needs a value");
    EXPECT_EQ(Refusal({"COM3"}), "unknown argument 'COM3'");
    for (const std::vector<std::string>& arguments :
         std::vector<std::vector<std::string>>{{"--baud", "0"}, {"--baud", "-9600"}, {"--baud", "96 00"},
                                               {"--line-end", "cr"}, {"--chunks", "8"}, {"--chunks", "9-3"},
                                               {"--chunks", "0-3"}, {"--fields", "4"}, {"--frames", "0"},
                                               {"--malformed-every", "0"}, {"--seed", "4294967296"},
                                               {"--name", ""}, {"--name", "../COM1"}, {"--name", ".hidden"}})
        EXPECT_NE(Refusal(arguments), "accepted") << arguments[0] << " " << arguments[1];
}

} // namespace
