#include "common/Application.h"
#include "common/Exception.h"

#include <QObject>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

struct ShownMessage {
    QString title;
    QString text;
    int count = 0;
};

class ApplicationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TApplication::SetTitle("Mirelda test");
        TApplication::SetExceptionPresenter([this](const QString& title, const QString& text) {
            shown.title = title;
            shown.text = text;
            ++shown.count;
        });
    }
    void TearDown() override { TApplication::SetExceptionPresenter({}); }

    ShownMessage shown;
};

TEST_F(ApplicationTest, FullStopIsAppendedOnlyAfterCharactersAboveIt)
{
    EXPECT_EQ(TApplication::MessageText(Exception("WriteFile function failed")), "WriteFile function failed.");
    EXPECT_EQ(TApplication::MessageText(Exception("Unable to open com port (Error: 2)")),
              "Unable to open com port (Error: 2)");
    EXPECT_EQ(TApplication::MessageText(Exception("ends with a stop.")), "ends with a stop.");
    EXPECT_EQ(TApplication::MessageText(Exception("value 7")), "value 7.");
    EXPECT_EQ(TApplication::MessageText(Exception("'' is not a valid integer value")),
              "'' is not a valid integer value.");
    EXPECT_EQ(TApplication::MessageText(Exception("")), "");
    // 8-bit text is taken as Latin-1; a character above 127 is above the stop too.
    EXPECT_EQ(TApplication::MessageText(Exception("Wellenl\xe4nge")), QString::fromUtf8("Wellenlänge."));
}

TEST_F(ApplicationTest, ErrorLeavingAnEventHandlerIsShownWithTheTitleAndTheProgramCarriesOn)
{
    QObject receiver;
    bool laterEventRan = false;
    QTimer::singleShot(0, &receiver, [] { throw EConvertError("'x' is not a valid integer value"); });
    QTimer::singleShot(0, &receiver, [&] { laterEventRan = true; });
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();

    EXPECT_EQ(shown.count, 1);
    EXPECT_EQ(shown.title, "Mirelda test");
    EXPECT_EQ(shown.text, "'x' is not a valid integer value.");
    EXPECT_TRUE(laterEventRan);
}

} // namespace
