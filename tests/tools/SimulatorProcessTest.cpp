#include "SimulatorProcess.h"

#include "serial/posix/PortMap.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Split(const std::string& text, const std::string& separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t end; (end = text.find(separator, start)) != std::string::npos; start = end + separator.size())
        parts.push_back(text.substr(start, end - start));
    parts.push_back(text.substr(start));
    return parts;
}

bool IsDecimal(const std::string& text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

// Lines of a frame closed by lineEnd, without the closing 'e'.
std::vector<std::string> Lines(const std::string& frame, const std::string& lineEnd)
{
    std::vector<std::string> lines = Split(frame, lineEnd);
    EXPECT_EQ(lines.back(), "e");
    lines.pop_back();
    return lines;
}

class SimulatorProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(configHome.isValid());
        if (const char* old = std::getenv("XDG_CONFIG_HOME"))
            savedConfigHome = old;
        setenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit().constData(), 1);
    }
    void TearDown() override
    {
        if (savedConfigHome.empty())
            unsetenv("XDG_CONFIG_HOME");
        else
            setenv("XDG_CONFIG_HOME", savedConfigHome.c_str(), 1);
    }

    static std::filesystem::path MapEntry(const std::string& name) { return PortMap::Directory() / name; }
    static bool Registered(const std::string& name)
    {
        return std::filesystem::is_symlink(std::filesystem::symlink_status(MapEntry(name)));
    }

    // Starts the simulator and returns the device it registered under name.
    std::string Start(TSimulatorProcess& simulator, const std::string& name = "COM11")
    {
        const std::vector<std::string> words = Split(simulator.StartLine(), " ");
        EXPECT_EQ(words.size(), 2u);
        EXPECT_EQ(words.front(), name);
        EXPECT_TRUE(Registered(name));
        EXPECT_EQ(PortMap::ResolveDevicePath(name), words.back());
        return words.back();
    }

    QTemporaryDir configHome;
    std::string savedConfigHome;
};

TEST_F(SimulatorProcessTest, AnswersAnExposureWithOneCrLfFrameAndSurvivesReopening)
{
    TSimulatorProcess simulator({});
    Start(simulator);
    for (int opening = 0; opening < 2; ++opening) {
        TPortEnd port(MapEntry("COM11"));
        ASSERT_TRUE(port.IsOpen());
        port.Send("100\r\n");
        const std::string frame = port.ReadFrame();
        ASSERT_TRUE(frame.ends_with("\r\ne")) << frame.substr(0, 80);
        const std::vector<std::string> lines = Lines(frame, "\r\n");
        ASSERT_EQ(lines.size(), 512u);
        EXPECT_EQ(lines[2], "EXPOSURE 100");
        for (size_t i = 0; i < 5; ++i)
            EXPECT_EQ(lines[i].find_first_of("e\r\n"), std::string::npos) << lines[i];
        for (size_t i = 5; i < lines.size(); ++i)
            ASSERT_TRUE(IsDecimal(lines[i])) << "field " << i + 1 << ": " << lines[i];
        EXPECT_EQ(port.ReadFor(std::chrono::milliseconds(150)), "") << "CR LF answered twice";
    }
    simulator.Signal(SIGTERM);
    EXPECT_EQ(simulator.WaitForExit(), 0);
    EXPECT_EQ(simulator.RemainingOutput(), "frames 2\n");
    EXPECT_FALSE(Registered("COM11"));
}

TEST_F(SimulatorProcessTest, LineEndOptionsShapeEveryLine)
{
    const struct {
        const char* option;
        const char* lineEnd;
    } cases[] = {{"lf", "\n"}, {"lfcr", "\n\r"}};
    for (const auto& c : cases) {
        TSimulatorProcess simulator({"--line-end", c.option, "--fields", "20"});
        Start(simulator);
        TPortEnd port(MapEntry("COM11"));
        port.Send("7\n");
        const std::string frame = port.ReadFrame();
        const std::vector<std::string> lines = Lines(frame, c.lineEnd);
        ASSERT_EQ(lines.size(), 20u) << c.option;
        for (const std::string& line : lines)
            EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << c.option;
    }
}

TEST_F(SimulatorProcessTest, BareCommandIsAnsweredOnceTheLineFallsIdle)
{
    TSimulatorProcess simulator({"--name", "SPEC7"});
    Start(simulator, "SPEC7");
    TPortEnd port(MapEntry("SPEC7"));
    port.Send("150");
    const std::string frame = port.ReadFrame();
    ASSERT_EQ(Lines(frame, "\r\n").size(), 512u);
    EXPECT_EQ(Lines(frame, "\r\n")[2], "EXPOSURE 150");
}

TEST_F(SimulatorProcessTest, ChunkedDeliveryCarriesTheSameBytes)
{
    TSimulatorProcess whole({"--name", "WHOLE", "--seed", "9"});
    TSimulatorProcess chunked({"--name", "CHUNKED", "--seed", "9", "--chunks", "1-40"});
    Start(whole, "WHOLE");
    Start(chunked, "CHUNKED");
    TPortEnd wholePort(MapEntry("WHOLE"));
    TPortEnd chunkedPort(MapEntry("CHUNKED"));
    for (const char* exposure : {"30\r\n", "200\r\n"}) {
        wholePort.Send(exposure);
        chunkedPort.Send(exposure);
        const std::string expected = wholePort.ReadFrame();
        EXPECT_TRUE(expected.ends_with("e"));
        EXPECT_EQ(chunkedPort.ReadFrame(), expected);
    }
}

TEST_F(SimulatorProcessTest, MalformedFramesComeEveryNthAndFrameLimitEndsTheRun)
{
    TSimulatorProcess simulator({"--malformed-every", "2", "--frames", "4", "--fields", "2300"});
    Start(simulator);
    TPortEnd port(MapEntry("COM11"));
    for (int number = 1; number <= 4; ++number) {
        port.Send("100\r\n");
        const std::vector<std::string> lines = Lines(port.ReadFrame(), "\r\n");
        ASSERT_EQ(lines.size(), 2300u);
        int malformed = 0;
        for (size_t i = 5; i < lines.size(); ++i)
            malformed += IsDecimal(lines[i]) ? 0 : 1;
        EXPECT_EQ(malformed, number % 2 == 0 ? 1 : 0) << "frame " << number;
    }
    EXPECT_EQ(simulator.WaitForExit(), 0);
    EXPECT_EQ(simulator.RemainingOutput(), "frames 4\n");
    EXPECT_FALSE(Registered("COM11"));
}

TEST_F(SimulatorProcessTest, EveryStopSignalRemovesThePortMapEntry)
{
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        TSimulatorProcess simulator({});
        Start(simulator);
        simulator.Signal(signal);
        EXPECT_EQ(simulator.WaitForExit(), 0) << signal;
        EXPECT_EQ(simulator.RemainingOutput(), "frames 0\n");
        EXPECT_FALSE(Registered("COM11")) << signal;
    }
}

TEST_F(SimulatorProcessTest, ExitLeavesAnEntryThatAnotherSimulatorTookOver)
{
    TSimulatorProcess first({});
    Start(first);
    TSimulatorProcess second({});
    const std::string secondDevice = Start(second);
    first.Signal(SIGTERM);
    EXPECT_EQ(first.WaitForExit(), 0);
    EXPECT_EQ(PortMap::ResolveDevicePath("COM11"), secondDevice);
}

TEST_F(SimulatorProcessTest, RefusesBadOptionsWithoutRegistering)
{
    TSimulatorProcess simulator({"--line-end", "cr"});
    EXPECT_EQ(simulator.WaitForExit(), 2);
    EXPECT_FALSE(Registered("COM11"));
}

} // namespace
