#include "app/ComMainForm.h"

#include "app/AcquisitionGraphLayout.h"
#include "serial/CPort.h"

void TForm1::LoadGraphSettings()
{
    LoadSpectrumGraphSettings(*XYGraph1, TGraphPlacement::WindowBounds);
}

void TForm1::LoadPortSettings()
{
    ComPort = std::make_unique<TComPort>();
    TComPort& port = *ComPort;
    port.SetName("ComPort");
    port.BeginLoading();
    port.SetBaudRate(br115200);
    port.SetPort("COM11");
    port.Parity().SetBits(prNone);
    port.SetStopBits(sbOneStopBit);
    port.SetDataBits(dbEight);
    port.SetDiscardNull(true);
    port.SetEventChar('e');
    port.SetEvents({evRxChar, evTxEmpty, evRxFlag, evRx80Full});
    port.Buffer().SetInputSize(4096);

    TComFlowControl& flow = port.FlowControl();
    flow.SetOutCTSFlow(false);
    flow.SetOutDSRFlow(false);
    flow.SetXonXoffOut(false);
    flow.SetXonXoffIn(false);
    flow.SetControlDTR(dtrDisable);
    flow.SetControlRTS(rtsDisable);

    port.SetStoredProps({spBasic});
    port.SetTriggersOnRxChar(true);
    port.OnAfterOpen = [this](TCustomComPort* sender) { ComPortOpen(sender); };
    port.OnAfterClose = [this](TCustomComPort* sender) { ComPortClose(sender); };
    port.OnRxChar = [this](TCustomComPort* sender, std::int32_t count) { ComPortRxChar(sender, count); };
    port.OnRxFlag = [this](TCustomComPort* sender) { ComPortRxFlag(sender); };
    port.Loaded();
}
