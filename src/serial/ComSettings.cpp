#include "serial/ComSettings.h"

#include "common/Exception.h"
#include "serial/ComPort.h"

void TComPersistent::AssignError(const TComPersistent& source) const
{
    throw EConvertError("Cannot assign a " + source.ClassName() + " to a " + ClassName());
}

void TComPersistent::ApplyLineSettings()
{
    if (comPort_)
        comPort_->ApplyLineSettings();
}

void TComPersistent::ApplyTimeoutSettings()
{
    if (comPort_)
        comPort_->ApplyTimeoutSettings();
}

void TComPersistent::ApplyBufferSizes()
{
    if (comPort_)
        comPort_->ApplyBufferSizes();
}

// --- TComTimeouts -----------------------------------------------------------

void TComTimeouts::Assign(const TComPersistent& source)
{
    const auto* other = dynamic_cast<const TComTimeouts*>(&source);
    if (!other)
        AssignError(source);
    readInterval_ = other->readInterval_;
    readTotalMultiplier_ = other->readTotalMultiplier_;
    readTotalConstant_ = other->readTotalConstant_;
    writeTotalMultiplier_ = other->writeTotalMultiplier_;
    writeTotalConstant_ = other->writeTotalConstant_;
}

void TComTimeouts::SetReadInterval(std::int32_t value)
{
    if (StoreIfChanged(readInterval_, value))
        ApplyTimeoutSettings();
}

void TComTimeouts::SetReadTotalMultiplier(std::int32_t value)
{
    if (StoreIfChanged(readTotalMultiplier_, value))
        ApplyTimeoutSettings();
}

void TComTimeouts::SetReadTotalConstant(std::int32_t value)
{
    if (StoreIfChanged(readTotalConstant_, value))
        ApplyTimeoutSettings();
}

void TComTimeouts::SetWriteTotalMultiplier(std::int32_t value)
{
    if (StoreIfChanged(writeTotalMultiplier_, value))
        ApplyTimeoutSettings();
}

void TComTimeouts::SetWriteTotalConstant(std::int32_t value)
{
    if (StoreIfChanged(writeTotalConstant_, value))
        ApplyTimeoutSettings();
}

// --- TComFlowControl --------------------------------------------------------

void TComFlowControl::Assign(const TComPersistent& source)
{
    const auto* other = dynamic_cast<const TComFlowControl*>(&source);
    if (!other)
        AssignError(source);
    outCTSFlow_ = other->outCTSFlow_;
    outDSRFlow_ = other->outDSRFlow_;
    controlDTR_ = other->controlDTR_;
    controlRTS_ = other->controlRTS_;
    xonXoffOut_ = other->xonXoffOut_;
    xonXoffIn_ = other->xonXoffIn_;
    dsrSensitivity_ = other->dsrSensitivity_;
    txContinueOnXoff_ = other->txContinueOnXoff_;
    xonChar_ = other->xonChar_;
    xoffChar_ = other->xoffChar_;
}

void TComFlowControl::SetOutCTSFlow(bool value)
{
    if (StoreIfChanged(outCTSFlow_, value))
        ApplyLineSettings();
}

void TComFlowControl::SetOutDSRFlow(bool value)
{
    if (StoreIfChanged(outDSRFlow_, value))
        ApplyLineSettings();
}

void TComFlowControl::SetControlDTR(TDTRFlowControl value)
{
    if (StoreIfChanged(controlDTR_, value))
        ApplyLineSettings();
}

void TComFlowControl::SetControlRTS(TRTSFlowControl value)
{
    if (StoreIfChanged(controlRTS_, value))
        ApplyLineSettings();
}

void TComFlowControl::SetXonXoffOut(bool value)
{
    if (StoreIfChanged(xonXoffOut_, value))
        ApplyLineSettings();
}

void TComFlowControl::SetXonXoffIn(bool value)
{
    if (StoreIfChanged(xonXoffIn_, value))
        ApplyLineSettings();
}

void TComFlowControl::SetDSRSensitivity(bool value)
{
    if (StoreIfChanged(dsrSensitivity_, value))
        ApplyLineSettings();
}

void TComFlowControl::SetTxContinueOnXoff(bool value)
{
    if (StoreIfChanged(txContinueOnXoff_, value))
        ApplyLineSettings();
}

void TComFlowControl::SetXonChar(char value)
{
    if (StoreIfChanged(xonChar_, value))
        ApplyLineSettings();
}

void TComFlowControl::SetXoffChar(char value)
{
    if (StoreIfChanged(xoffChar_, value))
        ApplyLineSettings();
}

TFlowControl TComFlowControl::FlowControl() const
{
    const bool xonXoffBoth = xonXoffIn_ && xonXoffOut_;
    const bool xonXoffNone = !xonXoffIn_ && !xonXoffOut_;
    if (controlRTS_ == rtsHandshake && outCTSFlow_ && xonXoffNone)
        return fcHardware;
    if (controlRTS_ == rtsDisable && !outCTSFlow_ && xonXoffBoth)
        return fcSoftware;
    if (controlRTS_ == rtsDisable && !outCTSFlow_ && xonXoffNone)
        return fcNone;
    return fcCustom;
}

void TComFlowControl::SetFlowControl(TFlowControl value)
{
    if (value != fcCustom) {
        controlRTS_ = rtsDisable;
        outCTSFlow_ = false;
        xonXoffIn_ = false;
        xonXoffOut_ = false;
    }
    if (value == fcHardware) {
        controlRTS_ = rtsHandshake;
        outCTSFlow_ = true;
    } else if (value == fcSoftware) {
        xonXoffIn_ = true;
        xonXoffOut_ = true;
    }
    ApplyLineSettings();
}

// --- TComParity -------------------------------------------------------------

void TComParity::Assign(const TComPersistent& source)
{
    const auto* other = dynamic_cast<const TComParity*>(&source);
    if (!other)
        AssignError(source);
    bits_ = other->bits_;
    check_ = other->check_;
    replace_ = other->replace_;
    replaceChar_ = other->replaceChar_;
}

void TComParity::SetBits(TParityBits value)
{
    if (StoreIfChanged(bits_, value))
        ApplyLineSettings();
}

void TComParity::SetCheck(bool value)
{
    if (StoreIfChanged(check_, value))
        ApplyLineSettings();
}

void TComParity::SetReplace(bool value)
{
    if (StoreIfChanged(replace_, value))
        ApplyLineSettings();
}

void TComParity::SetReplaceChar(char value)
{
    if (StoreIfChanged(replaceChar_, value))
        ApplyLineSettings();
}

// --- TComBuffer -------------------------------------------------------------

void TComBuffer::Assign(const TComPersistent& source)
{
    const auto* other = dynamic_cast<const TComBuffer*>(&source);
    if (!other)
        AssignError(source);
    inputSize_ = other->inputSize_;
    outputSize_ = other->outputSize_;
}

void TComBuffer::StoreSize(std::int32_t& field, std::int32_t value)
{
    if (!StoreIfChanged(field, value))
        return;
    // Drivers want even queue sizes.
    if (field > 0 && field % 2 == 1)
        --field;
    ApplyBufferSizes();
}

void TComBuffer::SetInputSize(std::int32_t value) { StoreSize(inputSize_, value); }
void TComBuffer::SetOutputSize(std::int32_t value) { StoreSize(outputSize_, value); }
