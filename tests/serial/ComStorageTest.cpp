#include "serial/CPort.h"

#include "serial/posix/ConfigPaths.h"
#include "support/FileSizeLimit.h"
#include "support/PtyPair.h"
#include "support/RecordingDevice.h"
#include "support/TemporaryStores.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace fs = std::filesystem;

namespace {

using TPort = TCustomComPort;
using TChange = void (*)(TPort&);

const std::string UserKey = "HKEY_CURRENT_USER\\Software\\Test";
const std::string MachineKey = "HKEY_LOCAL_MACHINE\\Software\\Vorel";
const TStoredProps AllGroups{spBasic, spFlowControl, spBuffer, spTimeouts, spParity, spOthers};

// Settings other than the defaults, group by group: ones a pseudo-terminal
// accepts, each group keeping the hardware preset that spBasic stores.
const std::pair<TStoredProp, TChange> GroupChanges[] = {
    {spBasic, [](TPort& p) { p.SetBaudRate(brCustom), p.SetCustomBaudRate(250000), p.SetStopBits(sbTwoStopBits),
                             p.SetDataBits(dbSeven), p.Parity().SetBits(prEven),
                             p.FlowControl().SetFlowControl(fcHardware); }},
    {spOthers, [](TPort& p) { p.SetEventChar('e'), p.SetDiscardNull(true); }},
    {spParity, [](TPort& p) { p.Parity().SetCheck(true), p.Parity().SetReplace(true), p.Parity().SetReplaceChar(' '); }},
    {spBuffer, [](TPort& p) { p.Buffer().SetOutputSize(2048), p.Buffer().SetInputSize(8192); }},
    {spTimeouts, [](TPort& p) {
         TComTimeouts& t = p.Timeouts();
         t.SetReadInterval(10), t.SetReadTotalConstant(20), t.SetReadTotalMultiplier(30), t.SetWriteTotalConstant(40),
             t.SetWriteTotalMultiplier(50);
     }},
    {spFlowControl, [](TPort& p) {
         TComFlowControl& f = p.FlowControl();
         f.SetControlRTS(rtsHandshake), f.SetOutCTSFlow(true), f.SetControlDTR(dtrEnable), f.SetDSRSensitivity(true),
             f.SetOutDSRFlow(true), f.SetTxContinueOnXoff(true), f.SetXonChar('A'), f.SetXoffChar(char(200));
     }},
};

// The port as the tests store it: named, without an event thread.
void Prepare(TPort& port, TStoredProps groups)
{
    port.SetName("ComPort");
    port.SetEvents({});
    port.SetStoredProps(groups);
}

// The failure code the call raised, 0 for none. Storage failures carry no
// system error.
template <typename Call>
int FailureOf(Call call)
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

fs::path Ini(const char* name)
{
    return ConfigPaths::UserDirectory() / name;
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
            target.SetPort(pty.SlavePath());
            target.SetConnected(open);
            target.RestoreSettings(kind, path);
            EXPECT_EQ(Settings(target), Settings(source)) << kind << open;
        }
        // A pseudo-terminal keeps all but the data bits and the parity.
        termios2 device{};
        ASSERT_EQ(ioctl(pty.SlaveFd(), TCGETS2, &device), 0);
        EXPECT_EQ(device.c_ospeed, 250000u);
        EXPECT_EQ(device.c_cflag & (CSTOPB | CRTSCTS), CSTOPB | CRTSCTS);
        EXPECT_EQ(device.c_iflag & (INPCK | IXON | IXOFF), static_cast<tcflag_t>(INPCK));
        EXPECT_EQ(device.c_cc[VSTART] + 1000 * device.c_cc[VSTOP], 'A' + 1000 * 200);
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
        TComPort expected, fromRegistry, fromIni, fromOwnIni;
        change(expected);
        if (group == spBasic)
            expected.SetPort(pty.SlavePath());
        // Stored alone, the group is all that a restore of every group from
        // an INI file changes: the other entries are missing.
        source.SetStoredProps({group});
        source.SaveSettings(ssIniFile, "own.ini");
        for (auto [target, groups, kind, path] : {std::tuple{&fromRegistry, TStoredProps{group}, ssRegistry, UserKey},
                                                  {&fromIni, {group}, ssIniFile, "all.ini"},
                                                  {&fromOwnIni, AllGroups, ssIniFile, "own.ini"}}) {
            Prepare(*target, groups);
            target->RestoreSettings(kind, path);
            EXPECT_EQ(Settings(*target), Settings(expected)) << group << kind << path;
        }
        std::filesystem::remove(Ini("own.ini"));
    }
}

TEST_F(ComStorageTest, RegistryHoldsTheBasicTextsAndACustomRateOnlyWhenCustom)
{
    port.SetPort("COM11");
    port.SetBaudRate(br115200);
    port.SaveSettings(ssRegistry, MachineKey);
    const std::string header = "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Vorel\\ComPort]\n\"Port\"=\"COM11\"\n";
    const std::string basic = "\"StopBits\"=\"1\"\n\"DataBits\"=\"8\"\n\"Parity\"=\"None\"\n\"FlowControl\"=\"None\"\n";
    EXPECT_EQ(FileBytes(TRegistry::LocalMachineFile()), header + "\"BaudRate\"=\"115200\"\n" + basic + "\n");

    port.SetBaudRate(brCustom);
    port.SaveSettings(ssRegistry, MachineKey);
    port.SetBaudRate(br57600);
    port.SaveSettings(ssRegistry, MachineKey);
    EXPECT_EQ(FileBytes(TRegistry::LocalMachineFile()),
              header + "\"BaudRate\"=\"57600\"\n" + basic + "\"CustomBaudRate\"=dword:00002580\n\n");
    EXPECT_FALSE(fs::exists(TRegistry::CurrentUserFile()));
}

TEST_F(ComStorageTest, RegistryReadsWithoutDefaults)
{
    // A key never stored: the texts read empty and take their fallbacks.
    TComPort expected;
    for (TPort* p : {static_cast<TPort*>(&port), static_cast<TPort*>(&expected)})
        p->FlowControl().SetControlRTS(rtsEnable), p->FlowControl().SetXonXoffIn(true);
    port.SetPort("COM11"), port.SetBaudRate(br115200), port.SetStopBits(sbTwoStopBits), port.SetDataBits(dbSeven);
    port.Parity().SetBits(prOdd);
    expected.SetPort("");
    EXPECT_EQ(FailureOf([&] { port.RestoreSettings(ssRegistry, MachineKey); }), 0);
    EXPECT_EQ(Settings(port), Settings(expected));
    EXPECT_EQ(FailureOf([&] { port.Connect(); }), 1);
    EXPECT_FALSE(fs::exists(TRegistry::LocalMachineFile()));

    // A missing integer, or a value of the wrong type, ends the reading;
    // what was read before stays.
    const std::pair<std::string, TStoredProps> failures[] = {
        {"\"BaudRate\"=\"Custom\"\n", {spBasic}},
        {"\"BaudRate\"=dword:00000001\n", {spBasic}},
        {"\"Buffer.OutputSize\"=\"512\"\n", {spBasic, spBuffer}}};
    for (const auto& [values, groups] : failures) {
        MakeFile(TRegistry::CurrentUserFile(), "REGEDIT4\n[" + UserKey + "\\ComPort]\n\"Port\"=\"COM5\"\n" + values);
        port.SetPort("");
        port.SetStoredProps(groups);
        EXPECT_EQ(FailureOf([&] { port.RestoreSettings(ssRegistry, UserKey); }), 17) << values;
        EXPECT_EQ(port.Port(), "COM5");
        EXPECT_EQ(port.UpdateCount(), 0);
    }
}

TEST_F(ComStorageTest, ThePathNamesTheRootInAnyCaseAndTheKeyAboveTheName)
{
    const std::tuple<std::string, fs::path, std::string> cases[] = {
        {"hkey_current_user\\Software\\Test", TRegistry::CurrentUserFile(), "[HKEY_CURRENT_USER\\Software\\Test\\"},
        {"HKey_Local_Machine\\Software\\Test\\", TRegistry::LocalMachineFile(), "[HKEY_LOCAL_MACHINE\\Software\\Test\\"},
        {"HKEY_USERS\\Other", TRegistry::CurrentUserFile(), "[HKEY_CURRENT_USER\\Other\\"},
        {"HKEY_CURRENT_USER\\", TRegistry::CurrentUserFile(), "[HKEY_CURRENT_USER\\"},
    };
    for (const auto& [path, file, key] : cases) {
        port.SaveSettings(ssRegistry, path);
        EXPECT_NE(FileBytes(file).find(key + "ComPort]\n\"Port\"=\"COM1\"\n"), std::string::npos) << path;
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
    const TChange nothing = [](TPort&) {};
    const std::tuple<std::string, TStoredProps, TChange, TChange> cases[] = {
        {"BaudRate=57600", {spBasic}, nothing, [](TPort& p) { p.SetBaudRate(br57600); }},
        {"DiscardNull=yes", {spOthers}, nothing, [](TPort& p) { p.SetDiscardNull(true); }},
        {"DiscardNull=1", {spOthers}, [](TPort& p) { p.SetDiscardNull(true); }, [](TPort& p) { p.SetDiscardNull(false); }},
        {"EventChar=#101", {spOthers}, nothing, [](TPort& p) { p.SetEventChar('e'); }},
        {"eventchar = e ", {spOthers}, nothing, [](TPort& p) { p.SetEventChar('e'); }},
        {"Buffer.InputSize=0x1000\nBuffer.OutputSize=$800", {spBuffer}, nothing,
         [](TPort& p) { p.Buffer().SetInputSize(4096), p.Buffer().SetOutputSize(2048); }},
        {"Timeouts.ReadInterval=0X10\nTimeouts.ReadTotalConstant=12abc\nTimeouts.ReadTotalMultiplier=x1\n"
         "Timeouts.WriteTotalConstant=-5\nTimeouts.WriteTotalMultiplier=-$1",
         {spTimeouts}, nothing, [](TPort& p) { p.Timeouts().SetReadInterval(16), p.Timeouts().SetWriteTotalConstant(-5); }},
        {"BaudRate=custom", {spBasic}, [](TPort& p) { p.SetCustomBaudRate(1234); },
         [](TPort& p) { p.SetBaudRate(brCustom), p.SetCustomBaudRate(9600); }},
        {"FlowControl=Hardware\nFlowControl.ControlRTS=Enable", {spBasic, spFlowControl}, nothing,
         [](TPort& p) { p.FlowControl().SetFlowControl(fcHardware), p.FlowControl().SetControlRTS(rtsEnable); }},
    };
    for (const auto& [entries, groups, before, change] : cases) {
        MakeFile(Ini("edge.ini"), "[Other]\nBaudRate=110\n[COMPORT]\n" + entries + "\n");
        TComPort target, expected;
        Prepare(target, groups);
        before(target), before(expected), change(expected);
        target.RestoreSettings(ssIniFile, "edge.ini");
        EXPECT_EQ(Settings(target), Settings(expected)) << entries;
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
    port.OnException = [&](TPort*, TComExceptions kind, const std::string& message, std::int64_t osError,
                           const std::string& system) { reports.emplace_back(kind, message, osError, system); };
    script->Failures.clear();
    port.SaveSettings(ssRegistry, "NoKey");
    port.RestoreSettings(ssIniFile, "");
    EXPECT_EQ(reports, (decltype(reports){{CE_StoreFailed, "Failed to store settings", 0, ""},
                                          {CE_LoadFailed, "Failed to load settings", 0, ""}}));
}

TEST_F(ComStorageTest, StoreFilesKeepWhatIsNotTheirsAndAreNeverOverwrittenUnparsed)
{
    MakeFile(Ini("kept.ini"), "; settings\r\n[Other]\r\nPort=COM9\r\n\r\n[comport]\r\nbaudrate = 300\r\n\r\n[Last]\r\n");
    port.SaveSettings(ssIniFile, "kept.ini");
    EXPECT_EQ(FileBytes(Ini("kept.ini")), "; settings\r\n[Other]\r\nPort=COM9\r\n\r\n[comport]\r\nbaudrate = 9600\r\n"
                                          "Port=COM1\r\nStopBits=1\r\nDataBits=8\r\nParity=None\r\nFlowControl=None\r\n"
                                          "\r\n[Last]\r\n");
    const std::string registry = "REGEDIT4\r\n; mine\r\n[HKEY_CURRENT_USER\\Other]\r\n\"Port\"=hex:01,\\\r\n 02\r\n";
    MakeFile(TRegistry::CurrentUserFile(), registry);
    port.SaveSettings(ssRegistry, UserKey);
    EXPECT_EQ(FileBytes(TRegistry::CurrentUserFile()).substr(0, registry.size() + 2), registry + "\r\n");

    MakeFile(TRegistry::CurrentUserFile(), "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\ComPort]\n\"Port\"=\"COM7\n");
    MakeFile(TRegistry::LocalMachineFile(), "Windows Registry Editor Version 5.00\n");
    MakeFile(Ini("binary.ini"), std::string("[ComPort]\nPort=COM7\n\0", 21));
    const std::tuple<TSettingsStorage, std::string, fs::path> unparsable[] = {
        {ssRegistry, "HKEY_CURRENT_USER\\Software", TRegistry::CurrentUserFile()},
        {ssRegistry, "HKEY_LOCAL_MACHINE\\Software", TRegistry::LocalMachineFile()},
        {ssIniFile, Ini("binary.ini").string(), Ini("binary.ini")}};
    for (const auto& [kind, path, file] : unparsable) {
        const std::string before = FileBytes(file);
        EXPECT_EQ(FailureOf([&] { port.SaveSettings(kind, path); }), 16) << path;
        EXPECT_EQ(FailureOf([&] { port.RestoreSettings(kind, path); }), 17) << path;
        EXPECT_EQ(FileBytes(file), before);
        EXPECT_EQ(port.Port(), "COM1");
    }

    // A store the system cuts short (a file-size limit here) fails and
    // leaves the earlier file whole.
    const std::string earlier = FileBytes(Ini("kept.ini"));
    port.SetPort("COM12");
    const int cutShort = [&] {
        const TFileSizeLimit limit(64);
        return FailureOf([&] { port.SaveSettings(ssIniFile, "kept.ini"); });
    }();
    EXPECT_EQ(cutShort, 16);
    EXPECT_EQ(FileBytes(Ini("kept.ini")), earlier);
}

TEST_F(ComStorageTest, AUserWhoMayNotWriteTheMachineFileGetsAVirtualStore)
{
    const std::string machine = "REGEDIT4\n[" + MachineKey + "\\ComPort]\n\"Port\"=\"COM3\"\n\"BaudRate\"=\"300\"\n";
    MakeFile(TRegistry::LocalMachineFile(), machine);
    fs::permissions(TRegistry::LocalMachineFile(), fs::perms::owner_read | fs::perms::others_read);
    MakeFile(Ini("user.ini"), "[ComPort]\nPort=COM4\n");
    const fs::path directories[] = {ConfigPaths::UserDirectory(), TRegistry::VirtualStoreFile().parent_path()};
    fs::permissions(directories[0], fs::perms::all);
    {
        const TUnprivileged nobody;
        // Reads fall through to the machine's file until the user stores.
        port.RestoreSettings(ssRegistry, MachineKey);
        EXPECT_EQ(port.Port() + "/" + BaudRateToText(port.BaudRate()), "COM3/300");
        port.SetPort("COM5");
        port.SaveSettings(ssRegistry, MachineKey);
        EXPECT_EQ(FileBytes(TRegistry::LocalMachineFile()), machine);
        EXPECT_NE(FileBytes(TRegistry::VirtualStoreFile()).find("\"Port\"=\"COM5\"\n\"BaudRate\"=\"300\""), std::string::npos);
        port.SetPort("");
        port.RestoreSettings(ssRegistry, MachineKey);
        EXPECT_EQ(port.Port(), "COM5");
    }
    // Nothing writable: storing fails, reading still works.
    for (const fs::path& directory : directories)
        fs::permissions(directory, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
    {
        const TUnprivileged nobody;
        for (const auto& [kind, path] : {std::pair{ssRegistry, MachineKey}, {ssRegistry, UserKey}, {ssIniFile, "user.ini"}})
            EXPECT_EQ(FailureOf([&] { port.SaveSettings(kind, path); }), 16) << path;
        port.RestoreSettings(ssIniFile, "user.ini");
        EXPECT_EQ(port.Port(), "COM4");
    }
    for (const fs::path& directory : directories)
        fs::permissions(directory, fs::perms::all);
}

} // namespace
