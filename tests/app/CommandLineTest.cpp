#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace {

struct TCase {
    QStringList arguments;
    bool informational; // answered before the application object exists
    int status;         // -1: the program runs
    const char* outputStart;
    const char* errorStart;
};

// A null text starts with the empty text too.
bool StartsWith(const QString& text, const char* start)
{
    return text.left(qstrlen(start)) == QLatin1String(start);
}

TEST(CommandLineTest, AnswersHelpVersionAndRefusesWhatItDoesNotKnow)
{
    const TCase cases[] = {
        {{"mirelda"}, false, -1, "", ""},
        {{"mirelda", "--version"}, true, 0, "mirelda 2.10\n", ""},
        {{"mirelda", "-v"}, true, 0, "mirelda 2.10\n", ""},
        {{"mirelda", "--help"}, true, 0, "Usage: mirelda [options]", ""},
        {{"mirelda", "--bogus", "--help"}, true, 0, "Usage:", ""},
        {{"mirelda", "--bogus"}, false, 2, "", "mirelda: Unknown option 'bogus'."},
        {{"mirelda", "extra"}, false, 2, "", "mirelda: unexpected argument 'extra'"},
        {{"mirelda", "--port"}, false, 2, "", "mirelda: Missing value after '--port'."},
        {{"mirelda", "--port="}, false, 2, "", "mirelda: --port takes a port name such as COM11"},
        {{"mirelda", "--port", "COM\u0141"}, false, 2, "", "mirelda: --port takes a port name"},
        {{"mirelda", "--baud", "fast"}, false, 2, "",
         "mirelda: --baud takes a rate in bits per second such as 115200, not 'fast'"},
        {{"mirelda", "--baud=0"}, false, 2, "", "mirelda: --baud takes a rate"},
        {{"mirelda", "--baud=-9600"}, false, 2, "", "mirelda: --baud takes a rate"},
        {{"mirelda", "--baud= 9600"}, false, 2, "", "mirelda: --baud takes a rate"},
        {{"mirelda", "--baud=2147483648"}, false, 2, "", "mirelda: --baud takes a rate"},
        {{"mirelda", "--exposure", "\u20ac5"}, false, 2, "", "mirelda: --exposure takes 8-bit (Latin-1) text"},
        {{"mirelda", "--start=yes"}, false, 2, "", "mirelda: Unexpected value after '--start'."},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        TCommandLine commandLine;
        const auto early = commandLine.Informational(c.arguments);
        EXPECT_EQ(early.has_value(), c.informational);
        const auto exit = early ? early : commandLine.Parse(c.arguments);
        ASSERT_EQ(exit.has_value(), c.status >= 0);
        if (!exit)
            continue;
        EXPECT_EQ(exit->Status, c.status);
        EXPECT_TRUE(StartsWith(exit->Output, c.outputStart)) << exit->Output.toStdString();
        EXPECT_TRUE(StartsWith(exit->Error, c.errorStart)) << exit->Error.toStdString();
        if (c.status == 2) {
            EXPECT_TRUE(exit->Error.contains(QStringLiteral("Usage: mirelda [options]")));
        }
    }
}

TEST(CommandLineTest, ReadsPortRateExposureAndStart)
{
    struct TOptionsCase {
        QStringList arguments;
        TStartOptions expected;
    };
    const TOptionsCase cases[] = {
        {{"mirelda"}, {}},
        {{"mirelda", "--port", "/dev/ttyUSB0"}, {"/dev/ttyUSB0", {}, 0, {}, false}},
        {{"mirelda", "--baud=115200"}, {{}, br115200, 115200, {}, false}},
        {{"mirelda", "--baud", "110"}, {{}, br110, 110, {}, false}},
        {{"mirelda", "--baud", "250000"}, {{}, brCustom, 250000, {}, false}},
        {{"mirelda", "--baud", "2147483647"}, {{}, brCustom, 2147483647, {}, false}},
        {{"mirelda", "--exposure", QString::fromLatin1("1\xe4 0"), "--start"}, {{}, {}, 0, "1\xe4 0", true}},
        {{"mirelda", "--exposure="}, {{}, {}, 0, "", false}},
        {{"mirelda", "--start", "--port=COM3", "--port=COM4"}, {"COM4", {}, 0, {}, true}},
    };
    for (const TOptionsCase& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        TCommandLine commandLine;
        ASSERT_FALSE(commandLine.Parse(c.arguments).has_value());
        const TStartOptions& options = commandLine.Options();
        EXPECT_EQ(options.Port, c.expected.Port);
        EXPECT_EQ(options.BaudRate, c.expected.BaudRate);
        EXPECT_EQ(options.CustomBaudRate, c.expected.CustomBaudRate);
        EXPECT_EQ(options.Exposure, c.expected.Exposure);
        EXPECT_EQ(options.Start, c.expected.Start);
    }
    TCommandLine commandLine;
    const QString help = commandLine.Informational({"mirelda", "--help"})->Output;
    for (const char* option : {"--port <NAME>", "--baud <RATE>", "--exposure <TEXT>", "--start"})
        EXPECT_TRUE(help.contains(QLatin1String(option))) << option;
}


TEST(CommandLineTest, ReadsRemoteAndUnattendedCaptureAndRefusesWhatDoesNotGoTogether)
{
    struct TAutomationCase {
        QStringList arguments;
        const char* error; // nullptr: accepted
        QString remote;
        int frames;
        bool average;
    };
    const QStringList capture{"mirelda", "--headless", "--port", "COM11", "--exposure", "100", "--output", "f.csv"};
    const TAutomationCase cases[] = {
        {{"mirelda", "--remote", "5025"}, nullptr, "127.0.0.1:5025", 0, false},
        {{"mirelda", "--remote=0.0.0.0:6000"}, nullptr, "0.0.0.0:6000", 0, false},
        {{"mirelda", "--remote", "localhost"}, "mirelda: --remote takes [ADDRESS:]PORT", "", 0, false},
        {capture + QStringList{"--frames", "100"}, nullptr, "", 100, false},
        {capture + QStringList{"--frames", "3", "--average", "--remote", "0"}, nullptr, "127.0.0.1:0", 3, true},
        {capture + QStringList{"--frames", "0"}, "mirelda: --frames takes a whole number of frames, 1 or more", "", 0,
         false},
        {capture + QStringList{"--frames", "+5"}, "mirelda: --frames takes", "", 0, false},
        {capture + QStringList{"--frames", "5", "--start"}, "mirelda: --headless starts by itself", "", 0, false},
        {capture.mid(0, 6) + QStringList{"--frames", "5"}, "mirelda: --headless needs --output", "", 0, false},
        {{"mirelda", "--headless", "--exposure", "1", "--frames", "1", "--output", "x"},
         "mirelda: --headless needs --port", "", 0, false},
        {capture.mid(0, 6) + QStringList{"--frames", "5", "--output", "s.JDX"}, nullptr, "", 5, false},
        {{"mirelda", "--frames", "5"}, "mirelda: --frames goes with --headless", "", 0, false},
        {{"mirelda", "--average"}, "mirelda: --average goes with --headless", "", 0, false},
    };
    for (const TAutomationCase& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        TCommandLine commandLine;
        const auto exit = commandLine.Parse(c.arguments);
        ASSERT_EQ(exit.has_value(), c.error != nullptr);
        if (exit) {
            EXPECT_EQ(exit->Status, 2);
            EXPECT_TRUE(StartsWith(exit->Error, c.error)) << exit->Error.toStdString();
            continue;
        }
        const TAutomationOptions& automation = commandLine.Automation();
        EXPECT_EQ(automation.Remote ? RemoteAddressText(*automation.Remote) : QString(), c.remote);
        EXPECT_EQ(automation.Headless, c.frames > 0);
        EXPECT_EQ(automation.Frames, c.frames);
        EXPECT_EQ(automation.AverageFrames, c.average);
    }
}

} // namespace
