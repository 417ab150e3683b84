#include "serial/DeviceControlBlock.h"

#include "serial/ComPort.h"
#include "serial/ComTexts.h"

TDeviceControlBlock MakeDeviceControlBlock(const TCustomComPort& port)
{
    const TComParity& parity = port.Parity();
    const TComFlowControl& flow = port.FlowControl();

    TDeviceControlBlock dcb;
    dcb.BaudRate = port.BaudRate() == brCustom ? static_cast<std::uint32_t>(port.CustomBaudRate())
                                                : BaudRateValue(port.BaudRate());

    std::uint32_t flags = Comm::DcbBinary;
    if (parity.Check())
        flags |= Comm::DcbParity;
    if (flow.OutCTSFlow())
        flags |= Comm::DcbOutxCtsFlow;
    if (flow.OutDSRFlow())
        flags |= Comm::DcbOutxDsrFlow;
    static constexpr std::uint32_t dtrControl[] = {0, Comm::DcbDtrControlEnable, Comm::DcbDtrControlHandshake};
    flags |= dtrControl[flow.ControlDTR()];
    if (flow.DSRSensitivity())
        flags |= Comm::DcbDsrSensitivity;
    if (flow.TxContinueOnXoff())
        flags |= Comm::DcbTxContinueOnXoff;
    if (flow.XonXoffOut())
        flags |= Comm::DcbOutX;
    if (flow.XonXoffIn())
        flags |= Comm::DcbInX;
    const bool replaceErrors = parity.Check() && parity.Replace();
    if (replaceErrors)
        flags |= Comm::DcbErrorChar;
    if (port.DiscardNull())
        flags |= Comm::DcbNull;
    static constexpr std::uint32_t rtsControl[] = {0, Comm::DcbRtsControlEnable, Comm::DcbRtsControlHandshake,
                                                   Comm::DcbRtsControlToggle};
    flags |= rtsControl[flow.ControlRTS()];
    dcb.Flags = flags;

    const auto limit = static_cast<std::uint16_t>(port.Buffer().InputSize() / 4);
    dcb.XonLimit = limit;
    dcb.XoffLimit = limit;
    dcb.ByteSize = static_cast<std::uint8_t>(5 + port.DataBits());
    dcb.Parity = static_cast<std::uint8_t>(parity.Bits());
    dcb.StopBits = static_cast<std::uint8_t>(port.StopBits());
    dcb.XonChar = flow.XonChar();
    dcb.XoffChar = flow.XoffChar();
    dcb.ErrorChar = replaceErrors ? parity.ReplaceChar() : 0;
    dcb.EventChar = port.EventChar();
    return dcb;
}

TCommTimeouts MakeCommTimeouts(const TComTimeouts& timeouts)
{
    return {static_cast<std::uint32_t>(timeouts.ReadInterval()),
            static_cast<std::uint32_t>(timeouts.ReadTotalMultiplier()),
            static_cast<std::uint32_t>(timeouts.ReadTotalConstant()),
            static_cast<std::uint32_t>(timeouts.WriteTotalMultiplier()),
            static_cast<std::uint32_t>(timeouts.WriteTotalConstant())};
}
