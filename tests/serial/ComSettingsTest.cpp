#include "serial/CPort.h"

#include "support/RecordingDevice.h"

#include <gtest/gtest.h>

namespace {

TEST(ComSettingsTest, NewPortHasTheDocumentedDefaults)
{
    TComPort port;
    EXPECT_EQ(port.Port(), "COM1");
    EXPECT_EQ(port.BaudRate(), br9600);
    EXPECT_EQ(port.CustomBaudRate(), 9600);
    EXPECT_EQ(port.DataBits(), dbEight);
    EXPECT_EQ(port.StopBits(), sbOneStopBit);
    EXPECT_EQ(port.Parity().Bits(), prNone);
    EXPECT_EQ(port.FlowControl().FlowControl(), fcNone);
    EXPECT_EQ(port.FlowControl().XonChar(), 17);
    EXPECT_EQ(port.FlowControl().XoffChar(), 19);
    EXPECT_EQ(port.Events(), AllComEvents);
    EXPECT_EQ(port.Events().Bits(), 0x3FFu);
    EXPECT_EQ(port.Buffer().InputSize(), 1024);
    EXPECT_EQ(port.Buffer().OutputSize(), 1024);
    EXPECT_EQ(port.Timeouts().ReadInterval(), -1);
    EXPECT_EQ(port.Timeouts().ReadTotalMultiplier(), 0);
    EXPECT_EQ(port.Timeouts().ReadTotalConstant(), 0);
    EXPECT_EQ(port.Timeouts().WriteTotalMultiplier(), 100);
    EXPECT_EQ(port.Timeouts().WriteTotalConstant(), 1000);
    EXPECT_EQ(port.SyncMethod(), smThreadSync);
    EXPECT_TRUE(port.TriggersOnRxChar());
    EXPECT_EQ(port.StoredProps(), TStoredProps{spBasic});
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(port.DeviceHandle(), nullptr);
    EXPECT_EQ(port.Parity().ComPort(), &port);
    EXPECT_EQ(port.Buffer().ComPort(), &port);
}

TEST(ComSettingsTest, OddPositiveBufferSizesRoundDown)
{
    TComPort port;
    port.Buffer().SetInputSize(4097);
    EXPECT_EQ(port.Buffer().InputSize(), 4096);
    port.Buffer().SetInputSize(4096);
    EXPECT_EQ(port.Buffer().InputSize(), 4096);
    port.Buffer().SetInputSize(-3);
    EXPECT_EQ(port.Buffer().InputSize(), -3);
    port.Buffer().SetOutputSize(1);
    EXPECT_EQ(port.Buffer().OutputSize(), 0);
}

TEST(ComSettingsTest, FlowControlIsDerivedFromRtsCtsAndXonXoffOnly)
{
    TComFlowControl flow;
    flow.SetFlowControl(fcHardware);
    EXPECT_EQ(flow.FlowControl(), fcHardware);
    EXPECT_EQ(flow.ControlRTS(), rtsHandshake);
    EXPECT_TRUE(flow.OutCTSFlow());
    flow.SetControlDTR(dtrHandshake);
    EXPECT_EQ(flow.FlowControl(), fcHardware);

    flow.SetFlowControl(fcSoftware);
    EXPECT_EQ(flow.FlowControl(), fcSoftware);
    EXPECT_EQ(flow.ControlRTS(), rtsDisable);
    EXPECT_FALSE(flow.OutCTSFlow());
    EXPECT_EQ(flow.ControlDTR(), dtrHandshake);

    flow.SetXonXoffIn(false);
    EXPECT_EQ(flow.FlowControl(), fcCustom);
    flow.SetFlowControl(fcCustom);
    EXPECT_TRUE(flow.XonXoffOut());
    EXPECT_FALSE(flow.XonXoffIn());

    flow.SetFlowControl(fcNone);
    flow.SetOutDSRFlow(true);
    flow.SetDSRSensitivity(true);
    EXPECT_EQ(flow.FlowControl(), fcNone);
    flow.SetControlRTS(rtsEnable);
    EXPECT_EQ(flow.FlowControl(), fcCustom);
}

TEST(ComSettingsTest, AssignmentCopiesFieldsOfTheSameClassOnly)
{
    TComParity source;
    source.SetBits(prMark);
    source.SetCheck(true);
    source.SetReplace(true);
    source.SetReplaceChar('?');

    auto script = std::make_shared<TRecordingDevice::TScript>();
    TComPort port;
    port.SetDeviceOpener(TRecordingDevice::Opener(script));
    port.Connect();
    script->Calls.clear();

    port.Parity().Assign(source);
    EXPECT_TRUE(script->Calls.empty());
    EXPECT_EQ(port.Parity().Bits(), prMark);
    EXPECT_EQ(port.Parity().ReplaceChar(), '?');
    EXPECT_EQ(port.Parity().ComPort(), &port);

    port.SetParity(source);
    EXPECT_EQ(script->Calls, std::vector<std::string>{"SetState"});

    TComTimeouts timeouts;
    EXPECT_THROW(port.Parity().Assign(timeouts), EConvertError);
    try {
        port.Buffer().Assign(timeouts);
    } catch (const EConvertError& error) {
        EXPECT_STREQ(error.what(), "Cannot assign a TComTimeouts to a TComBuffer");
    }
}

TEST(ComSettingsTest, SettersApplyOnlyChangedValuesExceptWholeObjects)
{
    auto script = std::make_shared<TRecordingDevice::TScript>();
    TComPort port;
    port.SetDeviceOpener(TRecordingDevice::Opener(script));
    port.Connect();
    script->Calls.clear();

    port.SetBaudRate(br9600);
    port.Timeouts().SetReadInterval(-1);
    port.Buffer().SetInputSize(1024);
    port.FlowControl().SetXonChar(17);
    EXPECT_TRUE(script->Calls.empty());

    port.SetBaudRate(br57600);
    port.Timeouts().SetWriteTotalConstant(50);
    port.Buffer().SetInputSize(2048);
    port.FlowControl().SetFlowControl(fcCustom);
    port.SetTimeouts(port.Timeouts());
    EXPECT_EQ(script->Calls,
              (std::vector<std::string>{"SetState", "SetTimeouts", "SetupQueues", "SetState", "SetTimeouts"}));
    EXPECT_EQ(script->LastState.BaudRate, 57600u);
    EXPECT_EQ(script->LastTimeouts.WriteTotalConstant, 50u);
}

TEST(ComSettingsTest, DeviceControlBlockCarriesEverySetting)
{
    TComPort port;
    TDeviceControlBlock expected;
    expected.BaudRate = 9600;
    expected.Flags = Comm::DcbBinary;
    expected.XonLimit = 256;
    expected.XoffLimit = 256;
    expected.ByteSize = 8;
    expected.XonChar = 17;
    expected.XoffChar = 19;
    EXPECT_EQ(MakeDeviceControlBlock(port), expected);

    port.SetBaudRate(brCustom);
    port.SetCustomBaudRate(31250);
    port.SetDataBits(dbFive);
    port.SetStopBits(sbOne5StopBits);
    port.Parity().SetBits(prSpace);
    port.Parity().SetCheck(true);
    port.Parity().SetReplace(true);
    port.Parity().SetReplaceChar('~');
    port.FlowControl().SetOutCTSFlow(true);
    port.FlowControl().SetOutDSRFlow(true);
    port.FlowControl().SetControlDTR(dtrHandshake);
    port.FlowControl().SetDSRSensitivity(true);
    port.FlowControl().SetTxContinueOnXoff(true);
    port.FlowControl().SetXonXoffOut(true);
    port.FlowControl().SetXonXoffIn(true);
    port.FlowControl().SetControlRTS(rtsToggle);
    port.FlowControl().SetXonChar('A');
    port.FlowControl().SetXoffChar('B');
    port.SetDiscardNull(true);
    port.SetEventChar('e');
    port.Buffer().SetInputSize(4096);

    const TDeviceControlBlock dcb = MakeDeviceControlBlock(port);
    EXPECT_EQ(dcb.Length, 28u);
    EXPECT_EQ(dcb.BaudRate, 31250u);
    EXPECT_EQ(dcb.Flags, 0x3FEFu);
    EXPECT_EQ(dcb.XonLimit, 1024);
    EXPECT_EQ(dcb.XoffLimit, 1024);
    EXPECT_EQ(dcb.ByteSize, 5);
    EXPECT_EQ(dcb.Parity, 4);
    EXPECT_EQ(dcb.StopBits, 1);
    EXPECT_EQ(dcb.XonChar, 'A');
    EXPECT_EQ(dcb.XoffChar, 'B');
    EXPECT_EQ(dcb.ErrorChar, '~');
    EXPECT_EQ(dcb.EofChar, 0);
    EXPECT_EQ(dcb.EventChar, 'e');

    // The replacement character goes with checking and replacing only.
    port.Parity().SetCheck(false);
    port.FlowControl().SetControlRTS(rtsEnable);
    port.FlowControl().SetControlDTR(dtrEnable);
    const TDeviceControlBlock unchecked = MakeDeviceControlBlock(port);
    EXPECT_EQ(unchecked.Flags & (Comm::DcbParity | Comm::DcbErrorChar), 0u);
    EXPECT_EQ(unchecked.Flags & Comm::DcbRtsControlMask, Comm::DcbRtsControlEnable);
    EXPECT_EQ(unchecked.Flags & Comm::DcbDtrControlMask, Comm::DcbDtrControlEnable);
    EXPECT_EQ(unchecked.ErrorChar, 0);

    // Limits keep the low 16 bits of a quarter of the input size.
    port.Buffer().SetInputSize(400000);
    EXPECT_EQ(MakeDeviceControlBlock(port).XonLimit, static_cast<std::uint16_t>(100000));
}

TEST(ComSettingsTest, TimeoutsReachTheDeviceAsUnsignedValues)
{
    TComTimeouts timeouts;
    timeouts.SetReadTotalMultiplier(-2);
    const TCommTimeouts device = MakeCommTimeouts(timeouts);
    EXPECT_EQ(device.ReadInterval, 0xFFFFFFFFu);
    EXPECT_EQ(device.ReadTotalMultiplier, 0xFFFFFFFEu);
    EXPECT_EQ(device.ReadTotalConstant, 0u);
    EXPECT_EQ(device.WriteTotalMultiplier, 100u);
    EXPECT_EQ(device.WriteTotalConstant, 1000u);
}

} // namespace
