#include "serial/CPort.h"

#include "serial/posix/ConfigPaths.h"
#include "support/PtyPair.h"
#include "support/RecordingDevice.h"
#include "support/TemporaryStores.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <tuple>

namespace fs = std::filesystem;

namespace {

const std::string UserKey = "HKEY_CURRENT_USER\\Software\\Test";
const TStoredProps AllGroups{spBasic, spFlowControl, spBuffer, spTimeouts, spParity, spOthers};

// Every stored setting of the port, for comparing ports.
std::string Settings(const TCustomComPort& p)
{
    const TComFlowControl& f = p.FlowControl();
    const TComTimeouts& t = p.Timeouts();
    std::ostringstream s;
    s << p.Port() << " rate " << p.BaudRate() << '/' << p.CustomBaudRate() << " stop " << p.StopBits() << " data "
      << p.DataBits() << " parity " << p.Parity().Bits() << p.Parity().Check() << p.Parity().Replace()
      << int(p.Parity().ReplaceChar()) << " event " << int(p.EventChar()) << " null " << p.DiscardNull()
      << " buffer " << p.Buffer().InputSize() << '/' << p.Buffer().OutputSize() << " timeouts " << t.ReadInterval()
      << '/' << t.ReadTotalMultiplier() << '/' << t.ReadTotalConstant() << '/' << t.WriteTotalMultiplier() << '/'
      << t.WriteTotalConstant() << " flow " << f.OutCTSFlow() << f.OutDSRFlow() << f.ControlDTR() << f.ControlRTS()
      << f.XonXoffOut() << f.XonXoffIn() << f.DSRSensitivity() << f.TxContinueOnXoff() << ' ' << int(f.XonChar())
      << '/' << int(f.XoffChar());
    return s.str();
}

// Settings other than the defaults, group by group; ones a pseudo-terminal
// accepts, and each group keeping the hardware preset that spBasic stores.
using TChange = void (*)(TCustomComPort&);
const std::pair<TStoredProp, TChange> GroupChanges[] = {
    {spBasic,
     [](TCustomComPort& p) {
         p.SetBaudRate(brCustom);
         p.SetCustomBaudRate(250000);
         p.SetStopBits(sbTwoStopBits);
         p.SetDataBits(dbSeven);
         p.Parity().SetBits(prEven);
         p.FlowControl().SetFlowControl(fcHardware);
     }},
    {spOthers,
     [](TCustomComPort& p) {
         p.SetEventChar('e');
         p.SetDiscardNull(true);
     }},
    {spParity,
     [](TCustomComPort& p) {
         p.Parity().SetCheck(true);
         p.Parity().SetReplace(true);
         p.Parity().SetReplaceChar(' ');
     }},
    {spBuffer,
     [](TCustomComPort& p) {
         p.Buffer().SetOutputSize(2048);
         p.Buffer().SetInputSize(8192);
     }},
    {spTimeouts,
     [](TCustomComPort& p) {
         p.Timeouts().SetReadInterval(10);
         p.Timeouts().SetReadTotalConstant(20);
         p.Timeouts().SetReadTotalMultiplier(30);
         p.Timeouts().SetWriteTotalConstant(40);
         p.Timeouts().SetWriteTotalMultiplier(50);
     }},
    {spFlowControl,
     [](TCustomComPort& p) {
         TComFlowControl& f = p.FlowControl();
         f.SetControlRTS(rtsHandshake);
         f.SetOutCTSFlow(true);
         f.SetControlDTR(dtrEnable);
         f.SetDSRSensitivity(true);
         f.SetOutDSRFlow(true);
         f.SetTxContinueOnXoff(true);
         f.SetXonChar('A');
         f.SetXoffChar(static_cast<char>(200));
     }},
};

// The port as the tests store it: named, without an event thread.
void Prepare(TCustomComPort& port, TStoredProps groups)
{
    port.SetName("ComPort");
    port.SetEvents({});
    port.SetStoredProps(groups);
}

class ComStorageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Prepare(port, {spBasic});
        Prepare(source, AllGroups);
        source.SetPort(pty.SlavePath());
        for (const auto& [group, change] : GroupChanges)
            change(source);
    }

    // The failure code the call raised, 0 for none. Storage failures carry
    // no system error.
    template <typename Call>
    static int FailureOf(Call call)
    {
        try {
            call();
        } catch (const EComPort& error) {
            if (error.FailureCode() == 16 || error.FailureCode() == 17) {
                EXPECT_EQ(error.OsError(), -1);
                EXPECT_STREQ(error.what(), error.FailureCode() == 16 ? "Failed to store settings" : "Failed to load settings");
            }
            return error.FailureCode();
        }
        return 0;
    }

    static fs::path Ini(const char* name) { return fs::path(getenv("XDG_CONFIG_HOME")) / "mirelda" / name; }

    termios2 DeviceSettings() const
    {
        termios2 settings{};
        EXPECT_EQ(ioctl(pty.SlaveFd(), TCGETS2, &settings), 0);
        return settings;
    }

    TTemporaryStores stores;
    TPtyPair pty;
    TComPort source;
    TComPort port;
};

TEST_F(ComStorageTest, EveryGroupTravelsThroughBothStoresToAClosedAndAnOpenPort)
{
    for (const auto& [kind, path] : {std::pair{ssRegistry, UserKey}, {ssIniFile, std::string("port.ini")}}) {
        source.SaveSettings(kind, path);
        for (const bool open : {false, true}) {
            TComPort target;
            Prepare(target, AllGroups);
            if (open) {
                target.SetPort(pty.SlavePath());
                target.Connect();
            }
            target.RestoreSettings(kind, path);
            EXPECT_EQ(Settings(target), Settings(source)) << kind << open;
        }
        const termios2 device = DeviceSettings();
        EXPECT_EQ(device.c_ospeed, 250000u);
        // A pseudo-terminal keeps all but the data bits and the parity.
        EXPECT_EQ(device.c_cflag & (CSTOPB | CRTSCTS), CSTOPB | CRTSCTS);
        EXPECT_EQ(device.c_iflag & (INPCK | IXON | IXOFF), static_cast<tcflag_t>(INPCK));
        EXPECT_EQ(device.c_cc[VSTART], 'A');
        EXPECT_EQ(device.c_cc[VSTOP], 200);
    }
    EXPECT_EQ(FileBytes(Ini("port.ini")),
              "[ComPort]\nPort=" + pty.SlavePath()
                  + "\nBaudRate=Custom\nCustomBaudRate=250000\nStopBits=2\nDataBits=7\nParity=Even\n"
                    "FlowControl=Hardware\nEventChar=e\nDiscardNull=Yes\nParity.Check=Yes\nParity.Replace=Yes\n"
                    "Parity.ReplaceChar=#32\nBuffer.OutputSize=2048\nBuffer.InputSize=8192\n"
                    "Timeouts.ReadInterval=10\nTimeouts.ReadTotalConstant=20\nTimeouts.ReadTotalMultiplier=30\n"
                    "Timeouts.WriteTotalConstant=40\nTimeouts.WriteTotalMultiplier=50\n"
                    "FlowControl.ControlRTS=Handshake\nFlowControl.ControlDTR=Enable\n"
                    "FlowControl.DSRSensitivity=Yes\nFlowControl.OutCTSFlow=Yes\nFlowControl.OutDSRFlow=Yes\n"
                    "FlowControl.TxContinueOnXoff=Yes\nFlowControl.XonXoffIn=No\nFlowControl.XonXoffOut=No\n"
                    "FlowControl.XoffChar=#200\nFlowControl.XonChar=A\n");
}

TEST_F(ComStorageTest, OnlyTheSelectedGroupsAreWrittenAndRead)
{
    source.SaveSettings(ssRegistry, UserKey);
    source.SaveSettings(ssIniFile, "all.ini");
    for (const auto& [group, change] : GroupChanges) {
        TComPort expected;
        change(expected);
        if (group == spBasic)
            expected.SetPort(pty.SlavePath());
        for (const auto& [kind, path] : {std::pair{ssRegistry, UserKey}, {ssIniFile, std::string("all.ini")}}) {
            TComPort target;
            Prepare(target, {group});
            target.RestoreSettings(kind, path);
            EXPECT_EQ(Settings(target), Settings(expected)) << group << kind;
        }
        // Stored alone, the group is all that a restore of every group from
        // the INI file changes: the other entries are missing.
        source.SetStoredProps({group});
        source.SaveSettings(ssIniFile, std::to_string(group) + ".ini");
        TComPort target;
        Prepare(target, AllGroups);
        target.RestoreSettings(ssIniFile, std::to_string(group) + ".ini");
        EXPECT_EQ(Settings(target), Settings(expected)) << group;
    }
}
TEST_F(ComStorageTest, RegistryHoldsTheBasicTextsAndACustomRateOnlyWhenCustom)
{
    port.SetPort("COM11");
    port.SetBaudRate(br115200);
    port.SaveSettings(ssRegistry, "HKEY_LOCAL_MACHINE\\Software\\Vorel");
    const std::string header = "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Vorel\\ComPort]\n\"Port\"=\"COM11\"\n";
    const std::string basic = "\"StopBits\"=\"1\"\n\"DataBits\"=\"8\"\n\"Parity\"=\"None\"\n\"FlowControl\"=\"None\"\n";
    EXPECT_EQ(FileBytes(TRegistry::LocalMachineFile()), header + "\"BaudRate\"=\"115200\"\n" + basic + "\n");

    port.SetBaudRate(brCustom);
    port.SetCustomBaudRate(9600);
    port.SaveSettings(ssRegistry, "HKEY_LOCAL_MACHINE\\Software\\Vorel");
    port.SetBaudRate(br57600);
    port.SaveSettings(ssRegistry, "HKEY_LOCAL_MACHINE\\Software\\Vorel");
    EXPECT_EQ(FileBytes(TRegistry::LocalMachineFile()),
              header + "\"BaudRate\"=\"57600\"\n" + basic + "\"CustomBaudRate\"=dword:00002580\n\n");
    EXPECT_FALSE(fs::exists(TRegistry::CurrentUserFile()));
}

TEST_F(ComStorageTest, RegistryReadsWithoutDefaults)
{
    // A key never stored: the texts read empty and take their fallbacks.
    port.SetPort("COM11");
    port.SetBaudRate(br115200);
    port.SetStopBits(sbTwoStopBits);
    port.SetDataBits(dbSeven);
    port.Parity().SetBits(prOdd);
    port.FlowControl().SetControlRTS(rtsEnable);
    port.FlowControl().SetXonXoffIn(true);
    TComPort expected;
    expected.SetPort("");
    expected.FlowControl().SetControlRTS(rtsEnable);
    expected.FlowControl().SetXonXoffIn(true);
    EXPECT_EQ(FailureOf([&] { port.RestoreSettings(ssRegistry, "HKEY_LOCAL_MACHINE\\Software\\Vorel"); }), 0);
    EXPECT_EQ(Settings(port), Settings(expected));
    EXPECT_EQ(FailureOf([&] { port.Connect(); }), 1);
    EXPECT_FALSE(fs::exists(TRegistry::LocalMachineFile()));

    // A missing integer, or a value of the wrong type, ends the reading;
    // what was read before stays.
    const struct {
        std::string Values;
        TStoredProps Groups;
    } failures[] = {{"\"Port\"=\"COM5\"\n\"BaudRate\"=\"Custom\"\n", {spBasic}},
                    {"\"Port\"=\"COM5\"\n\"BaudRate\"=dword:00000001\n", {spBasic}},
                    {"\"Port\"=\"COM5\"\n\"Buffer.OutputSize\"=\"512\"\n", {spBasic, spBuffer}}};
    for (const auto& c : failures) {
        MakeFile(TRegistry::CurrentUserFile(), "REGEDIT4\n[" + UserKey + "\\ComPort]\n" + c.Values);
        port.SetStoredProps(c.Groups);
        EXPECT_EQ(FailureOf([&] { port.RestoreSettings(ssRegistry, UserKey); }), 17) << c.Values;
        EXPECT_EQ(port.Port(), "COM5");
        EXPECT_EQ(port.UpdateCount(), 0);
        port.SetPort("");
    }
}

TEST_F(ComStorageTest, ThePathNamesTheRootInAnyCaseAndTheKeyAboveTheName)
{
    const struct {
        std::string Path;
        fs::path File;
        std::string Header;
    } cases[] = {
        {"hkey_current_user\\Software\\Test", TRegistry::CurrentUserFile(), "[HKEY_CURRENT_USER\\Software\\Test\\ComPort]"},
        {"HKey_Local_Machine\\Software\\Test\\", TRegistry::LocalMachineFile(), "[HKEY_LOCAL_MACHINE\\Software\\Test\\ComPort]"},
        {"HKEY_USERS\\Other", TRegistry::CurrentUserFile(), "[HKEY_CURRENT_USER\\Other\\ComPort]"},
        {"HKEY_CURRENT_USER\\", TRegistry::CurrentUserFile(), "[HKEY_CURRENT_USER\\ComPort]"},
    };
    for (const auto& c : cases) {
        port.SaveSettings(ssRegistry, c.Path);
        EXPECT_NE(FileBytes(c.File).find(c.Header + "\n\"Port\"=\"COM1\"\n"), std::string::npos) << c.Path;
    }
    // Without a backslash no key opens: nothing can be written or read.
    const std::string before = FileBytes(TRegistry::CurrentUserFile());
    EXPECT_EQ(FailureOf([&] { port.SaveSettings(ssRegistry, "Software"); }), 16);
    EXPECT_EQ(FailureOf([&] { port.RestoreSettings(ssRegistry, "Software"); }), 17);
    EXPECT_EQ(FileBytes(TRegistry::CurrentUserFile()), before);
    EXPECT_EQ(port.Port(), "COM1");

    // With no group stored nothing is touched, and nothing fails.
    port.SetStoredProps({});
    EXPECT_EQ(FailureOf([&] { port.SaveSettings(ssRegistry, "Software"); }), 0);
    EXPECT_EQ(FailureOf([&] { port.SaveSettings(ssIniFile, "none.ini"); }), 0);
    EXPECT_FALSE(fs::exists(Ini("none.ini")));
}

TEST_F(ComStorageTest, IniEntriesAreReadWithTheCurrentSettingsAsDefaults)
{
    const struct {
        std::string Entries;
        TStoredProps Groups;
        TChange Before, Expected;
    } cases[] = {
        {"BaudRate=57600", {spBasic}, [](TCustomComPort&) {}, [](TCustomComPort& p) { p.SetBaudRate(br57600); }},
        {"DiscardNull=yes", {spOthers}, [](TCustomComPort&) {}, [](TCustomComPort& p) { p.SetDiscardNull(true); }},
        {"DiscardNull=1", {spOthers}, [](TCustomComPort& p) { p.SetDiscardNull(true); },
         [](TCustomComPort& p) { p.SetDiscardNull(false); }},
        {"EventChar=#101", {spOthers}, [](TCustomComPort&) {}, [](TCustomComPort& p) { p.SetEventChar('e'); }},
        {"eventchar = e ", {spOthers}, [](TCustomComPort&) {}, [](TCustomComPort& p) { p.SetEventChar('e'); }},
        {"Buffer.InputSize=0x1000\nBuffer.OutputSize=$800", {spBuffer}, [](TCustomComPort&) {},
         [](TCustomComPort& p) {
             p.Buffer().SetInputSize(4096);
             p.Buffer().SetOutputSize(2048);
         }},
        {"Timeouts.ReadInterval=0X10\nTimeouts.ReadTotalConstant=12abc\nTimeouts.ReadTotalMultiplier=x1\n"
         "Timeouts.WriteTotalConstant=-5\nTimeouts.WriteTotalMultiplier=-$1",
         {spTimeouts}, [](TCustomComPort&) {},
         [](TCustomComPort& p) {
             p.Timeouts().SetReadInterval(16);
             p.Timeouts().SetWriteTotalConstant(-5);
         }},
        {"BaudRate=custom", {spBasic}, [](TCustomComPort& p) { p.SetCustomBaudRate(1234); },
         [](TCustomComPort& p) {
             p.SetBaudRate(brCustom);
             p.SetCustomBaudRate(9600);
         }},
        {"FlowControl=Hardware\nFlowControl.ControlRTS=Enable", {spBasic, spFlowControl}, [](TCustomComPort&) {},
         [](TCustomComPort& p) {
             p.FlowControl().SetFlowControl(fcHardware);
             p.FlowControl().SetControlRTS(rtsEnable);
         }},
    };
    for (const auto& c : cases) {
        MakeFile(Ini("edge.ini"), "[Other]\nBaudRate=110\n[COMPORT]\n" + c.Entries + "\n");
        TComPort target, expected;
        Prepare(target, c.Groups);
        c.Before(target);
        c.Before(expected);
        c.Expected(expected);
        target.RestoreSettings(ssIniFile, "edge.ini");
        EXPECT_EQ(Settings(target), Settings(expected)) << c.Entries;
    }
}

TEST_F(ComStorageTest, RestoreAppliesToAnOpenPortOnceAndClosesItsBatchOnFailure)
{
    auto script = std::make_shared<TRecordingDevice::TScript>();
    port.SetDeviceOpener(TRecordingDevice::Opener(script));
    port.Connect();
    const std::vector<std::string> applied{"SetupQueues", "SetState", "SetTimeouts"};
    for (const TStoredProps groups : {TStoredProps{}, AllGroups}) {
        script->Calls.clear();
        port.SetStoredProps(groups);
        port.SaveSettings(ssIniFile, "open.ini");
        port.RestoreSettings(ssIniFile, "open.ini");
        EXPECT_EQ(script->Calls, applied);
    }
    // Another stored port reopens inside the batch; it is configured once.
    MakeFile(Ini("open.ini"), "[ComPort]\nPort=COM2\nBaudRate=600\n");
    script->Calls.clear();
    port.RestoreSettings(ssIniFile, "open.ini");
    EXPECT_EQ(script->Opens, 2);
    EXPECT_EQ(std::vector(script->Calls.end() - 3, script->Calls.end()), applied);
    EXPECT_EQ(std::count(script->Calls.begin(), script->Calls.end(), "SetState"), 1);
    EXPECT_EQ(script->LastState.BaudRate, 600u);

    // A failure to apply at the end of the batch is a failure to load.
    script->Failures["SetState"] = 5;
    MakeFile(Ini("open.ini"), "[ComPort]\nBaudRate=1200\n");
    EXPECT_EQ(FailureOf([&] { port.RestoreSettings(ssIniFile, "open.ini"); }), 17);
    EXPECT_EQ(port.UpdateCount(), 0);
    EXPECT_EQ(port.BaudRate(), br1200);

    // With a handler the failures are handed over, without system error.
    std::vector<std::tuple<TComExceptions, std::string, std::int64_t, std::string>> reports;
    port.OnException = [&](TCustomComPort*, TComExceptions kind, const std::string& message, std::int64_t osError,
                           const std::string& systemMessage) { reports.emplace_back(kind, message, osError, systemMessage); };
    script->Failures.clear();
    port.SaveSettings(ssRegistry, "NoKey");
    port.RestoreSettings(ssIniFile, "");
    EXPECT_EQ(reports, (decltype(reports){{CE_StoreFailed, "Failed to store settings", 0, ""},
                                          {CE_LoadFailed, "Failed to load settings", 0, ""}}));
}

TEST_F(ComStorageTest, StoreFilesKeepWhatIsNotTheirsAndAreNeverOverwrittenUnparsed)
{
    const std::string ini = "; settings\r\n[Other]\r\nPort=COM9\r\n\r\n[comport]\r\nbaudrate = 300\r\n\r\n[Last]\r\n";
    MakeFile(Ini("kept.ini"), ini);
    port.SaveSettings(ssIniFile, "kept.ini");
    EXPECT_EQ(FileBytes(Ini("kept.ini")), "; settings\r\n[Other]\r\nPort=COM9\r\n\r\n[comport]\r\nbaudrate = 9600\r\n"
                                          "Port=COM1\r\nStopBits=1\r\nDataBits=8\r\nParity=None\r\nFlowControl=None\r\n"
                                          "\r\n[Last]\r\n");
    const std::string registry = "REGEDIT4\r\n; mine\r\n[HKEY_CURRENT_USER\\Other]\r\n\"Port\"=hex:01,\\\r\n 02\r\n";
    MakeFile(TRegistry::CurrentUserFile(), registry);
    port.SaveSettings(ssRegistry, UserKey);
    EXPECT_EQ(FileBytes(TRegistry::CurrentUserFile()).substr(0, registry.size() + 2), registry + "\r\n");

    const std::pair<TSettingsStorage, std::string> unparsable[] = {
        {ssRegistry, "HKEY_CURRENT_USER\\Software"}, {ssRegistry, "HKEY_LOCAL_MACHINE\\Software"},
        {ssIniFile, Ini("binary.ini").string()}};
    MakeFile(TRegistry::CurrentUserFile(), "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\ComPort]\n\"Port\"=\"COM7\n");
    MakeFile(TRegistry::LocalMachineFile(), "Windows Registry Editor Version 5.00\n");
    MakeFile(Ini("binary.ini"), std::string("[ComPort]\nPort=COM7\n\0", 21));
    for (const auto& [kind, path] : unparsable) {
        const fs::path file = kind == ssIniFile ? fs::path(path)
                              : path.starts_with("HKEY_LOCAL") ? TRegistry::LocalMachineFile()
                                                               : TRegistry::CurrentUserFile();
        const std::string before = FileBytes(file);
        EXPECT_EQ(FailureOf([&] { port.SaveSettings(kind, path); }), 16) << path;
        EXPECT_EQ(FailureOf([&] { port.RestoreSettings(kind, path); }), 17) << path;
        EXPECT_EQ(FileBytes(file), before);
        EXPECT_EQ(port.Port(), "COM1");
    }
}

TEST_F(ComStorageTest, AUserWhoMayNotWriteTheMachineFileGetsAVirtualStore)
{
    const std::string machine = "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\\Vorel\\ComPort]\n\"Port\"=\"COM3\"\n"
                                "\"BaudRate\"=\"300\"\n";
    MakeFile(TRegistry::LocalMachineFile(), machine);
    fs::permissions(TRegistry::LocalMachineFile(), fs::perms::owner_read | fs::perms::others_read);
    MakeFile(Ini("user.ini"), "[ComPort]\nPort=COM4\n");
    const fs::path user = ConfigPaths::UserDirectory();
    const fs::path virtualStore = TRegistry::VirtualStoreFile().parent_path();
    fs::permissions(user, fs::perms::all);
    const std::string path = "HKEY_LOCAL_MACHINE\\Software\\Vorel";
    {
        const TUnprivileged nobody;
        // Reads fall through to the machine's file until the user stores.
        port.RestoreSettings(ssRegistry, path);
        EXPECT_EQ(port.Port() + "/" + BaudRateToText(port.BaudRate()), "COM3/300");
        port.SetPort("COM5");
        port.SaveSettings(ssRegistry, path);
        EXPECT_EQ(FileBytes(TRegistry::LocalMachineFile()), machine);
        EXPECT_NE(FileBytes(TRegistry::VirtualStoreFile()).find("\"Port\"=\"COM5\"\n\"BaudRate\"=\"300\""),
                  std::string::npos);
        port.SetPort("");
        port.RestoreSettings(ssRegistry, path);
        EXPECT_EQ(port.Port(), "COM5");
    }
    // Nothing writable: storing fails, reading still works.
    const auto readOnly = fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read | fs::perms::others_exec;
    for (const fs::path& directory : {user, virtualStore})
        fs::permissions(directory, readOnly);
    {
        const TUnprivileged nobody;
        EXPECT_EQ(FailureOf([&] { port.SaveSettings(ssRegistry, path); }), 16);
        EXPECT_EQ(FailureOf([&] { port.SaveSettings(ssRegistry, UserKey); }), 16);
        EXPECT_EQ(FailureOf([&] { port.SaveSettings(ssIniFile, "user.ini"); }), 16);
        port.RestoreSettings(ssIniFile, "user.ini");
        EXPECT_EQ(port.Port(), "COM4");
    }
    for (const fs::path& directory : {user, virtualStore})
        fs::permissions(directory, fs::perms::all);
}

} // namespace
