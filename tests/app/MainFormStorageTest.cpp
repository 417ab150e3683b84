#include "AppTestSupport.h"

#include "app/ComMainForm.h"
#include "serial/CPort.h"
#include "serial/posix/PortMap.h"
#include "support/PtyPair.h"

#include <QLineEdit>
#include <QPushButton>

#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// The window with COM11 and COM12 mapped to pseudo-terminals.
class MainFormStorageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PortMap::Register("COM11", line.SlavePath());
        PortMap::Register("COM12", other.SlavePath());
    }

    TTemporaryConfigHome stores;
    TShownErrors errors;
    TPtyPair line;
    TPtyPair other;
    TForm1 form;
};

TEST_F(MainFormStorageTest, StoreThenLoadBringsBackTheBasicSettingsOnly)
{
    TComPort& port = *form.ComPort;
    ClickButton(form.Bt_Store);
    EXPECT_NE(FileBytes(TRegistry::LocalMachineFile()).find("[HKEY_LOCAL_MACHINE\\Software\\Vorel\\ComPort]\n"), std::string::npos);
    const std::string stored = Settings(port);
    port.SetPort("COM5"), port.SetBaudRate(br300), port.SetDataBits(dbSeven), port.SetStopBits(sbTwoStopBits);
    port.Parity().SetBits(prOdd), port.FlowControl().SetFlowControl(fcSoftware);
    ClickButton(form.Bt_Load);
    EXPECT_EQ(Settings(port), stored);

    port.SetEventChar('x'), port.Buffer().SetInputSize(512), port.Timeouts().SetReadInterval(7);
    const std::string changed = Settings(port);
    ClickButton(form.Bt_Load);
    EXPECT_EQ(Settings(port), changed);
    EXPECT_EQ(form.Button_Open->text(), QStringLiteral("Open Com"));
    EXPECT_TRUE(errors.Shown().empty());
}

TEST_F(MainFormStorageTest, LoadOnTheOpenPortReopensTheStoredPortConfiguredAsStored)
{
    MakeFile(TRegistry::LocalMachineFile(), "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\\Vorel\\ComPort]\n"
                                            "\"Port\"=\"COM12\"\n\"BaudRate\"=\"57600\"\n");
    ClickButton(form.Button_Open);
    ClickButton(form.Bt_Load);
    ASSERT_TRUE(form.ComPort->Connected());
    EXPECT_EQ(form.Button_Open->text(), QStringLiteral("Close"));
    termios2 settings{};
    ASSERT_EQ(ioctl(other.SlaveFd(), TCGETS2, &settings), 0);
    EXPECT_EQ(settings.c_ospeed, 57600u);
    form.Edit_Data->setText(QStringLiteral("7"));
    ClickButton(form.Button_Send);
    EXPECT_EQ(other.Receive(3), "7\r\n");
    EXPECT_TRUE(errors.Shown().empty());
}

TEST_F(MainFormStorageTest, StoreWhereNothingCanBeWrittenShowsTheFailure)
{
    // Below a plain file no directory can be made, not even by root.
    const std::filesystem::path blocked = stores.Directory() / "file";
    MakeFile(blocked, "");
    setenv("XDG_CONFIG_HOME", (blocked / "config").c_str(), 1);
    setenv("MIRELDA_MACHINE_CONFIG_DIR", (blocked / "machine").c_str(), 1);
    ClickButton(form.Bt_Store);
    ClickButton(form.Bt_Load);
    ASSERT_EQ(errors.Shown().size(), 1u);
    EXPECT_EQ(errors.Shown()[0], std::pair(QStringLiteral("Mirelda ver. 2.10 example"),
                                           QStringLiteral("Failed to store settings.")));
}

} // namespace
