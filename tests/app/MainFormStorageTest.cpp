#include "AppTestSupport.h"

#include "app/ComMainForm.h"
#include "serial/CPort.h"
#include "serial/posix/PortMap.h"
#include "support/PtyPair.h"

#include <QLineEdit>
#include <QPushButton>

#include <asm/termbits.h>
#include <sys/ioctl.h>
#include <sys/stat.h>

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

TEST_F(MainFormStorageTest, LoadNamesTheFileAndReasonAndWhatWasNotUnderstood)
{
    // Load must not hang on a FIFO nor fill memory from a device, and says
    // where and why; the parser names the line.
    const std::filesystem::path file = TRegistry::LocalMachineFile();
    std::filesystem::create_directories(file.parent_path());
    std::size_t failures = 0;
    const auto loadFails = [&](const std::string& reason) {
        ClickButton(form.Bt_Load);
        ASSERT_EQ(errors.Shown().size(), ++failures);
        EXPECT_EQ(errors.Shown().back().second, QStringLiteral("Failed to load settings."));
        const QString advice = errors.Advice().back();
        EXPECT_TRUE(advice.startsWith(QString::fromStdString(file.string() + reason))) << advice.toStdString();
        EXPECT_TRUE(advice.contains(QStringLiteral("key HKEY_LOCAL_MACHINE\\Software\\Vorel\\ComPort")));
        EXPECT_TRUE(advice.endsWith(QStringLiteral("then press \"Load\" again; \"Store\" writes it anew.")));
        std::filesystem::remove(file);
    };
    ASSERT_EQ(mkfifo(file.c_str(), 0600), 0);
    loadFails(" is not a regular file.");
    std::filesystem::create_symlink("/dev/zero", file);
    loadFails(" is not a regular file.");
    MakeFile(file, std::string(5 * 1024 * 1024, ';'));
    loadFails(" is larger than 4 MB, too large for a settings file.");
    MakeFile(file, "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software]\n\"A\"=\"1\"\nBogus\n");
    loadFails(" cannot be parsed and is left as it is: line 4 is not a key, a value, a comment or a blank line.");

    // Values the text rules take as their fallback load as those, and the
    // operator hears which.
    MakeFile(file, "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\\Vorel\\ComPort]\n\"Port\"=\"COM12\"\n"
                   "\"BaudRate\"=\"abc\"\n\"Parity\"=\"Bogus\"\n\"StopBits\"=\"2\"\n");
    ClickButton(form.Bt_Load);
    EXPECT_EQ(form.ComPort->Parity().Bits(), prNone);
    EXPECT_EQ(form.ComPort->StopBits(), sbTwoStopBits);
    ASSERT_EQ(errors.Shown().size(), ++failures);
    EXPECT_EQ(errors.Shown().back().second, QStringLiteral("Some stored settings were not understood."));
    EXPECT_EQ(errors.Advice().back(), QStringLiteral("BaudRate \"abc\" (9600 used)\nParity \"Bogus\" (None used)\n"
                                                     "Press \"Store\" to keep the settings now in use."));

    // A store that cannot be written names its file too.
    std::filesystem::remove(file);
    std::filesystem::create_directory(file);
    ClickButton(form.Bt_Store);
    ASSERT_EQ(errors.Shown().size(), ++failures);
    EXPECT_EQ(errors.Shown().back().second, QStringLiteral("Failed to store settings."));
    EXPECT_TRUE(errors.Advice().back().contains(QString::fromStdString("The settings are kept in " + file.string())));
    EXPECT_TRUE(errors.Advice().back().endsWith(QStringLiteral("then press \"Store\" again.")));
}

} // namespace
