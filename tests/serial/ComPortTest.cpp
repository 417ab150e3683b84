#include "serial/CPort.h"
#include "serial/posix/PortMap.h"

#include "common/Application.h"
#include "support/PtyPair.h"
#include "support/RecordingDevice.h"

#include <QTemporaryDir>

#include <asm/termbits.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>

namespace {

struct TReport {
    TComExceptions Kind;
    std::string Message;
    std::int64_t OsError;
    std::string SystemMessage;
};

// Ports named through a private port map.
class ComPortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(configHome.isValid());
        setenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit().constData(), 1);
    }
    void TearDown() override { unsetenv("XDG_CONFIG_HOME"); }

    termios2 DeviceSettings() const
    {
        termios2 settings{};
        EXPECT_EQ(ioctl(pty.SlaveFd(), TCGETS2, &settings), 0);
        return settings;
    }

    void RecordReports(TComPort& port)
    {
        port.OnException = [this](TCustomComPort*, TComExceptions kind, const std::string& message,
                                  std::int64_t osError, const std::string& systemMessage) {
            reports.push_back({kind, message, osError, systemMessage});
        };
    }

    std::vector<TComExceptions> ReportedKinds() const
    {
        std::vector<TComExceptions> kinds;
        for (const TReport& report : reports)
            kinds.push_back(report.Kind);
        return kinds;
    }

    QTemporaryDir configHome;
    TPtyPair pty;
    std::vector<TReport> reports;
};

TEST_F(ComPortTest, MissingPortFailsWithCodeOneAndTheSystemError)
{
    TComPort port;
    port.SetPort("COM11");
    std::vector<std::string> events;
    port.OnBeforeOpen = [&](TCustomComPort*) { events.push_back("BeforeOpen"); };
    port.OnAfterOpen = [&](TCustomComPort*) { events.push_back("AfterOpen"); };
    try {
        port.Connect();
        FAIL() << "Connect succeeded";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.FailureCode(), 1);
        EXPECT_EQ(error.OsError(), ENOENT);
        EXPECT_STREQ(error.what(), "Unable to open com port (Error: 2)");
    }
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(port.DeviceHandle(), nullptr);
    EXPECT_EQ(events, std::vector<std::string>{"BeforeOpen"});

    // Named in the port map, the same name opens.
    PortMap::Register("COM11", pty.SlavePath());
    port.Connect();
    EXPECT_TRUE(port.Connected());
    EXPECT_EQ(events, (std::vector<std::string>{"BeforeOpen", "BeforeOpen", "AfterOpen"}));
}

TEST_F(ComPortTest, DeviceIsOpenedExclusively)
{
    TComPort first;
    first.SetPort(pty.SlavePath());
    first.Connect();

    TComPort second;
    second.SetPort(pty.SlavePath());
    try {
        second.Connect();
        FAIL() << "second open succeeded";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.FailureCode(), 1);
        EXPECT_EQ(error.OsError(), EBUSY);
    }

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        int osError = 0;
        const bool opened = OpenComDevice(pty.SlavePath(), osError) != nullptr;
        _exit(opened ? 100 : osError);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), EBUSY);

    first.Disconnect();
    second.Connect();
    EXPECT_TRUE(second.Connected());
}

TEST_F(ComPortTest, SettingsReachTheDeviceAndChangesApplyWhileOpen)
{
    TComPort port;
    port.SetPort(pty.SlavePath());
    port.SetBaudRate(br115200);
    port.FlowControl().SetFlowControl(fcHardware);
    port.Connect();
    termios2 settings = DeviceSettings();
    EXPECT_EQ(settings.c_cflag & CBAUD, static_cast<tcflag_t>(B115200));
    EXPECT_EQ(settings.c_ospeed, 115200u);
    EXPECT_TRUE(settings.c_cflag & CRTSCTS);
    EXPECT_EQ(settings.c_lflag & (ICANON | ECHO | ISIG), 0u);

    port.SetBaudRate(br14400);
    settings = DeviceSettings();
    EXPECT_EQ(settings.c_cflag & CBAUD, static_cast<tcflag_t>(BOTHER));
    EXPECT_EQ(settings.c_ospeed, 14400u);

    port.SetBaudRate(brCustom);
    port.SetCustomBaudRate(250000);
    EXPECT_EQ(DeviceSettings().c_ospeed, 250000u);

    port.FlowControl().SetFlowControl(fcSoftware);
    port.FlowControl().SetXonChar('A');
    port.FlowControl().SetXoffChar('B');
    settings = DeviceSettings();
    EXPECT_FALSE(settings.c_cflag & CRTSCTS);
    EXPECT_EQ(settings.c_iflag & (IXON | IXOFF), static_cast<tcflag_t>(IXON | IXOFF));
    EXPECT_EQ(settings.c_cc[VSTART], 'A');
    EXPECT_EQ(settings.c_cc[VSTOP], 'B');

    // Closed, a change is only recorded; the next Connect applies it.
    port.Disconnect();
    port.SetBaudRate(br300);
    EXPECT_EQ(DeviceSettings().c_ospeed, 250000u);
    port.Connect();
    EXPECT_EQ(DeviceSettings().c_ospeed, 300u);
}

TEST_F(ComPortTest, RefusedLineSettingsFailConnectAndLeaveThePortClosed)
{
    TComPort port;
    port.SetPort(pty.SlavePath());
    port.SetStopBits(sbOne5StopBits);
    std::vector<std::string> events;
    port.OnAfterOpen = [&](TCustomComPort*) { events.push_back("AfterOpen"); };
    try {
        port.Connect();
        FAIL() << "Connect succeeded";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.FailureCode(), 7);
        EXPECT_EQ(error.OsError(), EINVAL);
        EXPECT_STREQ(error.what(), "SetCommState function failed (Error: 22)");
    }
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(port.DeviceHandle(), nullptr);
    EXPECT_TRUE(events.empty());

    // While open, a refused change keeps the port open with the value stored.
    port.SetStopBits(sbOneStopBit);
    port.Connect();
    EXPECT_THROW(port.SetStopBits(sbOne5StopBits), EComPort);
    EXPECT_TRUE(port.Connected());
    EXPECT_EQ(port.StopBits(), sbOne5StopBits);
}

TEST_F(ComPortTest, BatchesApplyOnceWhenTheOutermostEnds)
{
    auto script = std::make_shared<TRecordingDevice::TScript>();
    TComPort port;
    port.SetDeviceOpener(TRecordingDevice::Opener(script));
    port.Connect();
    EXPECT_EQ(script->Calls, (std::vector<std::string>{"SetupQueues", "SetState", "SetTimeouts", "SetEventMask",
                                                        "ModemStatus", "ModemStatus", "ModemStatus"}));
    script->Calls.clear();

    port.BeginSettingsChange();
    port.BeginSettingsChange();
    port.SetBaudRate(br57600);
    port.Parity().SetBits(prEven);
    port.Timeouts().SetReadTotalConstant(5);
    port.Buffer().SetInputSize(8192);
    port.EndSettingsChange();
    EXPECT_TRUE(script->Calls.empty());
    EXPECT_EQ(port.UpdateCount(), 1);
    port.EndSettingsChange();
    EXPECT_EQ(script->Calls, (std::vector<std::string>{"SetupQueues", "SetState", "SetTimeouts"}));
    EXPECT_EQ(script->LastState.BaudRate, 57600u);
    EXPECT_EQ(script->LastState.Parity, 2);
    port.EndSettingsChange();
    EXPECT_EQ(port.UpdateCount(), 0);
    EXPECT_EQ(script->Calls.size(), 3u);

    // A port reopened inside a batch is configured when the batch ends.
    script->Calls.clear();
    port.BeginSettingsChange();
    port.SetPort("COM2");
    EXPECT_EQ(script->Opens, 2);
    EXPECT_EQ(script->Calls,
              (std::vector<std::string>{"Purge", "SetEventMask", "ModemStatus", "ModemStatus", "ModemStatus"}));
    port.EndSettingsChange();
    EXPECT_EQ(script->Calls.size(), 8u);
}

TEST_F(ComPortTest, PortNameChangeReopensOnlyForADifferentName)
{
    auto script = std::make_shared<TRecordingDevice::TScript>();
    TComPort port;
    port.SetDeviceOpener(TRecordingDevice::Opener(script));
    port.SetPort("COM1");
    port.Connect();
    port.SetPort("COM1");
    EXPECT_EQ(script->Opens, 1);
    port.SetPort("com1");
    EXPECT_EQ(script->Opens, 2);
    EXPECT_TRUE(port.Connected());
    port.Disconnect();
    port.SetPort("COM3");
    EXPECT_EQ(script->Opens, 2);
}

TEST_F(ComPortTest, ConnectAndDisconnectRunTheirHandlersInOrderOnlyOnChange)
{
    auto script = std::make_shared<TRecordingDevice::TScript>();
    script->ModemLines = Comm::MsCtsOn | Comm::MsRlsdOn;
    TComPort port;
    port.SetDeviceOpener(TRecordingDevice::Opener(script));
    std::vector<std::string> events;
    port.OnBeforeOpen = [&](TCustomComPort*) { events.push_back("BeforeOpen"); };
    port.OnAfterOpen = [&](TCustomComPort*) { events.push_back("AfterOpen"); };
    port.OnBeforeClose = [&](TCustomComPort*) { events.push_back("BeforeClose"); };
    port.OnAfterClose = [&](TCustomComPort*) { events.push_back("AfterClose"); };
    port.OnCTSChange = [&](TCustomComPort*, bool on) { events.push_back(on ? "CTS on" : "CTS off"); };
    port.OnDSRChange = [&](TCustomComPort*, bool on) { events.push_back(on ? "DSR on" : "DSR off"); };
    port.OnRLSDChange = [&](TCustomComPort*, bool on) { events.push_back(on ? "RLSD on" : "RLSD off"); };

    port.Disconnect();
    EXPECT_TRUE(events.empty());
    port.SetConnected(true);
    port.Connect();
    EXPECT_EQ(script->Opens, 1);
    EXPECT_TRUE(port.EventThreadStarted());
    port.SetConnected(false);
    port.SetConnected(false);
    EXPECT_EQ(events, (std::vector<std::string>{"BeforeOpen", "AfterOpen", "CTS on", "DSR off", "RLSD on",
                                                 "CTS off", "DSR off", "RLSD off", "BeforeClose", "AfterClose"}));
    EXPECT_EQ(script->Calls.back(), "Purge");
}

TEST_F(ComPortTest, ErrorsWithoutHandlerRaiseTheCodeAndMessage)
{
    auto script = std::make_shared<TRecordingDevice::TScript>();
    TComPort port;
    port.SetDeviceOpener(TRecordingDevice::Opener(script));
    port.Connect();
    try {
        port.SetSyncMethod(smNone);
        FAIL() << "no error";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.FailureCode(), 14);
        EXPECT_EQ(error.OsError(), -1);
        EXPECT_STREQ(error.what(), "Cannot set property while connected");
    }
    EXPECT_EQ(port.SyncMethod(), smThreadSync);
    port.SetSyncMethod(smThreadSync);

    script->Failures["ClearError"] = EIO;
    script->Failures["ModemStatus"] = EIO;
    try {
        port.InputQueueCount();
        FAIL() << "no error";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.FailureCode(), 10);
        EXPECT_STREQ(error.what(), "ClearCommError function failed (Error: 5)");
    }
    EXPECT_THROW(port.LineErrors(), EComPort);
    try {
        port.LineSignals();
        FAIL() << "no error";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.FailureCode(), 11);
    }
    port.Disconnect();
    port.SetSyncMethod(smWindowSync);
    EXPECT_EQ(port.SyncMethod(), smWindowSync);

    for (int kind = CE_OpenFailed; kind <= CEPortNotOpen; ++kind) {
        const EComPort error(static_cast<TComExceptions>(kind), 0x100000007LL);
        EXPECT_EQ(error.FailureCode(), kind + 1);
        EXPECT_EQ(error.OsError(), 7);
        EXPECT_EQ(std::string(error.what()), std::string(PortErrorMessages[kind]) + " (Error: 7)");
    }
}

TEST_F(ComPortTest, HandlerReceivesFailuresAndOperationsCarryOn)
{
    TComPort port;
    port.SetPort("COM11");
    RecordReports(port);
    std::vector<std::string> events;
    port.OnAfterOpen = [&](TCustomComPort*) { events.push_back("AfterOpen"); };

    port.Connect();
    EXPECT_TRUE(port.Connected());
    EXPECT_EQ(events, std::vector<std::string>{"AfterOpen"});
    EXPECT_EQ(ReportedKinds(), (std::vector<TComExceptions>{CE_OpenFailed, CE_SetupComFailed, CE_SetStateFailed,
                                                            CE_TimeoutsFailed, CE_ModemStatFailed,
                                                            CE_ModemStatFailed, CE_ModemStatFailed}));
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports[0].Message, "Unable to open com port");
    EXPECT_EQ(reports[0].OsError, ENOENT);
    EXPECT_EQ(reports[0].SystemMessage, "System Error.  Code: 2.\nNo such file or directory");

    // Transfers on the invalid handle: not open, then the transfer fails to
    // start; its wait adds nothing and nothing is raised.
    reports.clear();
    EXPECT_EQ(port.WriteText("x"), 0);
    EXPECT_EQ(ReportedKinds(), (std::vector<TComExceptions>{CEPortNotOpen, CE_WriteFailed}));
    EXPECT_EQ(reports[0].OsError, 0);
    EXPECT_EQ(reports[0].SystemMessage, "");
    EXPECT_EQ(reports[1].OsError, EBADF);
    reports.clear();
    std::string text = "old";
    EXPECT_EQ(port.ReadText(text, 5), 0);
    EXPECT_EQ(text, "");
    EXPECT_EQ(ReportedKinds(), (std::vector<TComExceptions>{CEPortNotOpen, CE_ReadFailed}));

    reports.clear();
    EXPECT_EQ(port.BeginWrite("x", 1, nullptr), 0);
    EXPECT_EQ(ReportedKinds(), std::vector<TComExceptions>{CE_InvalidAsync});

    reports.clear();
    port.SetSyncMethod(smNone);
    EXPECT_EQ(port.SyncMethod(), smThreadSync);
    port.Disconnect();
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(ReportedKinds(), (std::vector<TComExceptions>{CE_ConnChangeProp, CE_PurgeFailed}));
}

TEST_F(ComPortTest, TransferThatFailsToStartIsReportedOnceAndWaitsWithNothing)
{
    auto script = std::make_shared<TRecordingDevice::TScript>();
    TComPort port;
    port.SetDeviceOpener(TRecordingDevice::Opener(script));
    port.Connect();
    RecordReports(port);
    char buffer[4] = "abc";
    struct TCase {
        const char* Refused; // the device call that fails, or none: a negative count
        bool Write;
        TComExceptions Failure;
        int OsError;
    };
    for (const TCase& c : {TCase{"StartWrite", true, CE_WriteFailed, EIO}, TCase{"StartRead", false, CE_ReadFailed, EIO},
                           TCase{nullptr, true, CE_WriteFailed, EINVAL}, TCase{nullptr, false, CE_ReadFailed, EINVAL}}) {
        SCOPED_TRACE(testing::Message() << (c.Refused ? c.Refused : "negative count") << (c.Write ? " write" : " read"));
        const auto start = [&](std::int32_t count, TTransferRecord* record) {
            return c.Write ? port.BeginWrite(buffer, count, record) : port.BeginRead(buffer, count, record);
        };
        // A record that carried a whole transfer before: its old count is not
        // given again.
        auto record = NewTransfer();
        EXPECT_EQ(start(3, record.get()), c.Write ? 3 : 0);
        EXPECT_EQ(port.WaitTransfer(record.get()), c.Write ? 3 : 0);
        if (c.Refused)
            script->Failures[c.Refused] = c.OsError;
        reports.clear();
        EXPECT_EQ(start(c.Refused ? 3 : -1, record.get()), 0);
        EXPECT_EQ(port.WaitTransfer(record.get()), 0);
        EXPECT_EQ(ReportedKinds(), std::vector<TComExceptions>{c.Failure});
        EXPECT_EQ(reports.at(0).OsError, c.OsError);
        FreeTransfer(record);
        script->Failures.clear();
    }
}

TEST_F(ComPortTest, LoadingRecordsConnectedAndOpensWhenLoaded)
{
    QString shown;
    TApplication::SetExceptionPresenter([&](const QString&, const QString& message) { shown = message; });

    auto script = std::make_shared<TRecordingDevice::TScript>();
    TComPort port;
    port.SetDeviceOpener(TRecordingDevice::Opener(script));
    port.BeginLoading();
    port.SetConnected(true);
    port.SetBaudRate(br115200);
    port.SetSyncMethod(smWindowSync);
    EXPECT_TRUE(port.Connected());
    EXPECT_EQ(script->Opens, 0);
    port.Loaded();
    EXPECT_EQ(script->Opens, 1);
    EXPECT_TRUE(port.Connected());
    EXPECT_EQ(script->LastState.BaudRate, 115200u);
    EXPECT_TRUE(shown.isEmpty());

    // A failing automatic open is shown, and loading goes on.
    TComPort missing;
    missing.SetPort("COM11");
    missing.BeginLoading();
    missing.SetConnected(true);
    missing.Loaded();
    EXPECT_FALSE(missing.Connected());
    EXPECT_EQ(shown, "Unable to open com port (Error: 2)");
    TApplication::SetExceptionPresenter({});
}

TEST_F(ComPortTest, LineErrorsDropParityUnlessChecked)
{
    class TErrorDevice : public TRecordingDevice {
    public:
        using TRecordingDevice::TRecordingDevice;
        int ClearError(std::uint32_t& errors, TCommStatus& status) override
        {
            errors = Comm::CeRxParity | Comm::CeFrame | Comm::CeBreak | Comm::CeRxOver;
            status.InQueue = 3;
            return 0;
        }
    };
    auto script = std::make_shared<TRecordingDevice::TScript>();
    TComPort port;
    port.SetDeviceOpener([script](const std::string&, int&) { return std::make_unique<TErrorDevice>(script); });
    port.Connect();
    EXPECT_EQ(port.LineErrors(), (TComErrors{ceFrame, ceBreak, ceRxOver}));
    port.Parity().SetCheck(true);
    EXPECT_EQ(port.LineErrors(), (TComErrors{ceFrame, ceRxParity, ceBreak, ceRxOver}));
    EXPECT_EQ(port.InputQueueCount(), 3);
}

} // namespace
