#include "AppTestSupport.h"

#include "app/ComMainForm.h"
#include "serial/CPort.h"
#include "serial/posix/PortMap.h"
#include "serial_ui/ComComboBox.h"
#include "serial_ui/ComSetupFrm.h"
#include "support/PtyPair.h"
#include "support/SetupDialogDriver.h"

#include <QPushButton>

#include <gtest/gtest.h>

namespace {

// "Settings" on the window, with COM11 on a pseudo-terminal and COM12 naming
// something that exists but is no serial device.
class MainFormSettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PortMap::Register("COM11", line.SlavePath());
        PortMap::Register("COM12", "/");
    }

    TTemporaryConfigHome configHome;
    TShownErrors errors;
    TPtyPair line;
    TForm1 form;
};

TEST_F(MainFormSettingsTest, SettingsEditsTheClosedPortAndFailuresReachTheApplication)
{
    WhenSetupShown([](TComSetupFrm& form) {
        Choose(form.Combo2, "9600");
        form.Button1->click();
    });
    ClickButton(form.Button_Settings);
    EXPECT_EQ(form.ComPort->BaudRate(), br9600);
    EXPECT_EQ(form.ComPort->Port(), "COM11");
    EXPECT_TRUE(errors.Shown().empty());

    ClickButton(form.Button_Open);
    ASSERT_TRUE(form.ComPort->Connected());
    form.Button_Settings->setEnabled(true);
    WhenSetupShown([](TComSetupFrm& form) {
        Choose(form.Combo1, "COM12");
        form.Button1->click();
    });
    ClickButton(form.Button_Settings);
    ASSERT_EQ(errors.Shown().size(), 1u);
    EXPECT_EQ(errors.Shown()[0].first, "Mirelda ver. 2.10 example");
    EXPECT_EQ(errors.Shown()[0].second, "Unable to open com port (Error: 21)");
    EXPECT_FALSE(form.ComPort->Connected());
    EXPECT_EQ(form.ComPort->UpdateCount(), 0);
}

} // namespace
