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

} // namespace
