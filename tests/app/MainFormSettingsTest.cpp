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

TEST(MainFormSettingsTest, SettingsEditsTheClosedPortAndFailuresReachTheApplication)
{
    TTemporaryConfigHome configHome;
    TShownErrors errors;
    TPtyPair line;
    PortMap::Register("COM11", line.SlavePath());
    PortMap::Register("COM12", "/"); // present, but no serial device
    TForm1 form;
    WhenSetupShown([](TComSetupFrm& setup) {
        Choose(setup.Combo2, "9600");
        setup.Button1->click();
    });
    ClickButton(form.Button_Settings);
    EXPECT_EQ(form.ComPort->BaudRate(), br9600);
    EXPECT_EQ(form.ComPort->Port(), "COM11");
    EXPECT_TRUE(errors.Shown().empty());

    ClickButton(form.Button_Open);
    ASSERT_TRUE(form.ComPort->Connected());
    form.Button_Settings->setEnabled(true);
    WhenSetupShown([](TComSetupFrm& setup) {
        Choose(setup.Combo1, "COM12");
        setup.Button1->click();
    });
    ClickButton(form.Button_Settings);
    EXPECT_EQ(errors.Shown(), (std::vector<std::pair<QString, QString>>{
                                  {"Mirelda ver. 2.10 example", "Unable to open com port (Error: 21)"}}));
    EXPECT_FALSE(form.ComPort->Connected());
    EXPECT_EQ(form.ComPort->UpdateCount(), 0);
}

} // namespace
