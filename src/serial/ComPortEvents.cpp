#include "serial/ComPort.h"

// The trigger operations (each calls its handler when one is assigned) and
// the processing around opening and closing.

void TCustomComPort::TriggerAfterClose()
{
    if (OnAfterClose)
        OnAfterClose(this);
}

void TCustomComPort::TriggerAfterOpen()
{
    if (OnAfterOpen)
        OnAfterOpen(this);
}

void TCustomComPort::TriggerBeforeClose()
{
    if (OnBeforeClose)
        OnBeforeClose(this);
}

void TCustomComPort::TriggerBeforeOpen()
{
    if (OnBeforeOpen)
        OnBeforeOpen(this);
}

void TCustomComPort::TriggerRxChar(std::int32_t count)
{
    if (OnRxChar)
        OnRxChar(this, count);
}

void TCustomComPort::TriggerRxBuf(const void* buffer, std::int32_t count)
{
    if (OnRxBuf)
        OnRxBuf(this, buffer, count);
}

void TCustomComPort::TriggerTxEmpty()
{
    if (OnTxEmpty)
        OnTxEmpty(this);
}

void TCustomComPort::TriggerBreak()
{
    if (OnBreak)
        OnBreak(this);
}

void TCustomComPort::TriggerRing()
{
    if (OnRing)
        OnRing(this);
}

void TCustomComPort::TriggerRxFlag()
{
    if (OnRxFlag)
        OnRxFlag(this);
}

void TCustomComPort::TriggerCTSChange(bool onOff)
{
    if (OnCTSChange)
        OnCTSChange(this, onOff);
}

void TCustomComPort::TriggerDSRChange(bool onOff)
{
    if (OnDSRChange)
        OnDSRChange(this, onOff);
}

void TCustomComPort::TriggerError(TComErrors errors)
{
    if (OnError)
        OnError(this, errors);
}

void TCustomComPort::TriggerRLSDChange(bool onOff)
{
    if (OnRLSDChange)
        OnRLSDChange(this, onOff);
}

void TCustomComPort::TriggerRx80Full()
{
    if (OnRx80Full)
        OnRx80Full(this);
}

void TCustomComPort::ProcessBeforeOpen()
{
    TriggerBeforeOpen();
}

// Each line's state is reported right after opening, changed or not.
void TCustomComPort::ProcessAfterOpen()
{
    TriggerAfterOpen();
    ProcessCTSChange();
    ProcessDSRChange();
    ProcessRLSDChange();
}

// The lines are reported off without asking the device, which may be gone.
void TCustomComPort::ProcessBeforeClose()
{
    TriggerCTSChange(false);
    TriggerDSRChange(false);
    TriggerRLSDChange(false);
    TriggerBeforeClose();
}

void TCustomComPort::ProcessAfterClose()
{
    TriggerAfterClose();
}

void TCustomComPort::ProcessCTSChange()
{
    TriggerCTSChange(LineSignals().Contains(lsCTS));
}

void TCustomComPort::ProcessDSRChange()
{
    TriggerDSRChange(LineSignals().Contains(lsDSR));
}

void TCustomComPort::ProcessRLSDChange()
{
    TriggerRLSDChange(LineSignals().Contains(lsRLSD));
}
